#pragma once

#include "AppItem.h"
#include "FolderItem.h"
#include "UuidText.h"

#include <QStringList>
#include <QUuid>

// Applications named by a short letter code, e.g. "A" gives name "App A" and
// bundle identifier "org.test.a"; each call makes a fresh id, as a scan would.
inline AppItem testApp(const QString& code) {
    return AppItem{QUuid::createUuid(),
                   QStringLiteral("App ") + code,
                   QStringLiteral("org.test.") + code.toLower(),
                   QStringLiteral("/apps/") + code + QStringLiteral(".desktop"),
                   {}};
}

inline AppList testApps(const QStringList& codes) {
    AppList apps;
    for (const QString& code : codes)
        apps.append(testApp(code));
    return apps;
}

inline QStringList bundleIds(const QStringList& codes) {
    QStringList ids;
    for (const QString& code : codes)
        ids.append(QStringLiteral("org.test.") + code.toLower());
    return ids;
}

// "F1,F2" for folders, letter codes for applications: the cells by what they hold.
template <typename Items> QStringList describeCells(const Items& items) {
    QStringList described;
    for (const auto& item : items) {
        if (const AppItem* app = item.app())
            described.append(app->name.mid(4));
        else
            described.append(item.folder()->name);
    }
    return described;
}

// Generated codes "0001", "0002", ... for lists too long to spell out.
inline QStringList numberedCodes(int count, int first = 1) {
    QStringList codes;
    for (int i = first; i < first + count; ++i)
        codes.append(QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')));
    return codes;
}
