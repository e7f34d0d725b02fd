#include "CatalogueScan.h"

#include "BundleReader.h"
#include "BundleWalk.h"
#include "DesktopEntrySource.h"
#include "SearchRule.h"
#include "SessionUuid.h"

#include <QFileInfo>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

#include <functional>
#include <optional>

AppList scanCatalogue(const CatalogueRoots& roots, const std::atomic_bool& cancelled) {
    QStringList bundlePaths;
    for (const QString& folder : roots.bundleFolders)
        bundlePaths += findAppItems(folder, cancelled);
    // Utilities lies inside System/Applications, so its bundles are walked
    // twice; the later copy could only lose to the first, so it is not read.
    bundlePaths.removeDuplicates();

    const std::function<std::optional<BundleRecord>(const QString&)> read =
        [&cancelled](const QString& path) -> std::optional<BundleRecord> {
        if (cancelled.load(std::memory_order_relaxed))
            return std::nullopt;
        return readBundle(path);
    };
    const QList<std::optional<BundleRecord>> bundles =
        QtConcurrent::blockingMapped<QList<std::optional<BundleRecord>>>(bundlePaths, read);

    AppList apps;
    QSet<QString> identifiers;
    for (const std::optional<BundleRecord>& bundle : bundles) {
        if (!bundle || identifiers.contains(bundle->bundleIdentifier))
            continue;
        identifiers.insert(bundle->bundleIdentifier);
        // Absolute, so the icon is never taken for the name of a theme icon.
        const QString icon =
            bundle->iconPath.isEmpty() ? QString() : QFileInfo(bundle->iconPath).absoluteFilePath();
        AppItem app{sessionUuid(), bundle->name, bundle->bundleIdentifier, bundle->path, icon};
        prepareForSearch(app, {});
        apps.append(std::move(app));
    }

    const QList<DesktopEntryRecord> entries =
        readDesktopEntries(roots.desktopEntryFolders, cancelled);
    for (const DesktopEntryRecord& entry : entries) {
        if (identifiers.contains(entry.identifier))
            continue;
        identifiers.insert(entry.identifier);
        AppItem app{sessionUuid(), entry.name, entry.identifier, entry.path, entry.icon};
        prepareForSearch(app, entry.otherNames);
        app.actions = entry.actions;
        apps.append(std::move(app));
    }
    return apps;
}
