#include "AppIconSource.h"

#include "UuidText.h"

#include <QUrl>

QString appIconSource(const AppItem& app) {
    return QStringLiteral("image://appicon/") + uuidText(app.id);
}

QString actionIconSource(const AppItem& app, const DesktopAction& action) {
    return action.icon.isEmpty() ? QString()
                                 : appIconSource(app) + QStringLiteral("?action=") +
                                       QString::fromLatin1(QUrl::toPercentEncoding(action.id));
}
