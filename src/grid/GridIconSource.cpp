#include "GridIconSource.h"

#include "UuidText.h"

QString gridIconSource(const AppItem& app) {
    return QStringLiteral("image://appicon/") + uuidText(app.id);
}
