#include "AppIconSource.h"

#include "UuidText.h"

QString appIconSource(const AppItem& app) {
    return QStringLiteral("image://appicon/") + uuidText(app.id);
}
