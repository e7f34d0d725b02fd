#include "CatalogueScan.h"

#include "BundleReader.h"
#include "BundleWalk.h"
#include "DesktopEntrySource.h"
#include "IconDecoding.h"
#include "IconThemeIndex.h"

#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

#include <functional>
#include <memory>
#include <optional>

namespace {

struct Found {
    AppItem item;
    // A file to decode (bundle) or a theme icon name (desktop entry).
    QString iconSource;
    bool themed = false;
};

} // namespace

AppList scanCatalogue(const ScanOptions& options, const std::atomic_bool& cancelled) {
    QStringList bundlePaths;
    for (const QString& folder : options.roots.bundleFolders)
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

    QList<Found> found;
    QSet<QString> identifiers;
    for (const std::optional<BundleRecord>& bundle : bundles) {
        if (!bundle || identifiers.contains(bundle->bundleIdentifier))
            continue;
        identifiers.insert(bundle->bundleIdentifier);
        found.append({AppItem{{}, bundle->name, bundle->bundleIdentifier, bundle->path, {}},
                      bundle->iconPath, false});
    }

    bool anyThemed = false;
    const QList<DesktopEntryRecord> entries =
        readDesktopEntries(options.roots.desktopEntryFolders, cancelled);
    for (const DesktopEntryRecord& entry : entries) {
        if (identifiers.contains(entry.identifier))
            continue;
        identifiers.insert(entry.identifier);
        found.append({AppItem{{}, entry.name, entry.identifier, entry.path, {}}, entry.icon, true});
        anyThemed = true;
    }

    if (options.loadIcons && !cancelled.load()) {
        std::unique_ptr<const IconThemeIndex> themes;
        if (anyThemed)
            themes = std::make_unique<const IconThemeIndex>(
                options.roots.iconThemeFolders, options.roots.pixmapFolders, options.iconTheme);
        const std::function<void(Found&)> decode = [&themes, &cancelled](Found& entry) {
            if (cancelled.load(std::memory_order_relaxed))
                return;
            const QString file = entry.themed && themes
                                     ? themes->find(entry.iconSource, appIconPixels)
                                     : entry.iconSource;
            if (!file.isEmpty())
                entry.item.icon = decodeIconFile(file);
            if (entry.item.icon.isNull())
                entry.item.icon = genericAppIcon();
        };
        QtConcurrent::blockingMap(found, decode);
    }

    AppList apps;
    apps.reserve(found.size());
    for (Found& entry : found) {
        entry.item.id = QUuid::createUuid();
        apps.append(std::move(entry.item));
    }
    return apps;
}
