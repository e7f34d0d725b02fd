#include "CatalogueScan.h"

#include "BundleReader.h"
#include "BundleWalk.h"
#include "CatalogueOrdering.h"
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
    identifiers.reserve(bundles.size());
    // Inserted and tested at once: at thousands of applications the hashing is
    // a good part of this loop.
    const auto firstOf = [&identifiers](const QString& identifier) {
        const qsizetype before = identifiers.size();
        identifiers.insert(identifier);
        return identifiers.size() > before;
    };
    for (const std::optional<BundleRecord>& bundle : bundles) {
        if (!bundle || !firstOf(bundle->bundleIdentifier))
            continue;
        // Absolute, so the icon is never taken for the name of a theme icon.
        const QString icon =
            bundle->iconPath.isEmpty() ? QString() : QFileInfo(bundle->iconPath).absoluteFilePath();
        AppItem app{sessionUuid(), bundle->name, bundle->bundleIdentifier, bundle->path, icon};
        prepareForSearch(app, {});
        apps.append(std::move(app));
    }

    const QList<DesktopEntryRecord> entries =
        readDesktopEntries(roots.desktopEntryFolders, cancelled);
    identifiers.reserve(identifiers.size() + entries.size());
    apps.reserve(apps.size() + entries.size());
    for (const DesktopEntryRecord& entry : entries) {
        if (!firstOf(entry.identifier))
            continue;
        AppItem app{sessionUuid(), entry.name, entry.identifier, entry.path, entry.icon};
        prepareForSearch(app, entry.otherNames);
        app.actions = entry.actions;
        apps.append(std::move(app));
    }
    rankByName(apps);
    return apps;
}
