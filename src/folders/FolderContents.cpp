#include "FolderContents.h"

#include "AppSettings.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// Position of the first application with each bundle identifier; later
// duplicates never win a look-up.
QHash<QString, qsizetype> firstIndexByIdentifier(const AppList& apps) {
    QHash<QString, qsizetype> index;
    index.reserve(apps.size());
    for (qsizetype i = 0; i < apps.size(); ++i) {
        if (!index.contains(apps.at(i).bundleIdentifier))
            index.insert(apps.at(i).bundleIdentifier, i);
    }
    return index;
}

// A stored folder may list one identifier twice (folders are stored as given);
// the application is still shown once, since views key their cells by its id.
AppList resolve(const QStringList& identifiers, const AppList& apps) {
    AppList resolved;
    resolved.reserve(identifiers.size());
    QSet<QString> seen;
    const auto take = [&](const QString& identifier, const AppItem& app) {
        if (!seen.contains(identifier)) {
            seen.insert(identifier);
            resolved.append(app);
        }
    };
    if (identifiers.size() <= folderPreviewLimit) {
        // A handful of look-ups: scanning beats building a hash of the catalogue.
        for (const QString& identifier : identifiers) {
            const auto it = std::find_if(apps.cbegin(), apps.cend(), [&](const AppItem& app) {
                return app.bundleIdentifier == identifier;
            });
            if (it != apps.cend())
                take(identifier, *it);
        }
        return resolved;
    }
    const QHash<QString, qsizetype> index = firstIndexByIdentifier(apps);
    for (const QString& identifier : identifiers) {
        const auto it = index.constFind(identifier);
        if (it != index.cend())
            take(identifier, apps.at(it.value()));
    }
    return resolved;
}

} // namespace

AppList previewApps(const FolderItem& folder, const AppList& apps) {
    return resolve(
        folder.appBundleIds.first(std::min(folder.appBundleIds.size(), folderPreviewLimit)), apps);
}

AppList folderApps(const FolderItem& folder, const AppList& apps) {
    return resolve(folder.appBundleIds, apps);
}

AppList pickerCandidates(const FolderItem& folder, const AppList& apps,
                         const AppSettings& settings) {
    const QSet<QString> ownMembers(folder.appBundleIds.cbegin(), folder.appBundleIds.cend());
    AppList candidates;
    for (const AppItem& app : apps) {
        if (!ownMembers.contains(app.bundleIdentifier) &&
            !settings.isAppInFolder(app.bundleIdentifier))
            candidates.append(app);
    }
    return candidates;
}
