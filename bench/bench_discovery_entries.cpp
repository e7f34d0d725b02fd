// The desktop-entry source over 100, 1,000 and 5,000 entries: reading the
// entries alone, the whole scan (which decodes no icon), indexing the icon
// theme that holds their icons, and the scan followed
// by every entry's themed icon looked up and decoded at 64 pixels, what views
// would pay if they showed every icon at once.
#include "CatalogueGenerator.h"
#include "CatalogueScan.h"
#include "DesktopEntrySource.h"
#include "IconCache.h"
#include "IconThemeIndex.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    std::printf("Desktop entries (warm file cache; median of 3 runs)\n");
    std::printf("%8s %14s %12s %10s %12s %14s %16s %12s\n", "entries", "entries ms", "us/entry",
                "scan ms", "us/entry", "icon index ms", "every icon ms", "us/entry");
    const std::atomic_bool cancelled{false};
    for (const int count : {100, 1000, 5000}) {
        QTemporaryDir dir;
        bench::generateDesktopEntries(dir.path(), count);
        CatalogueRoots roots;
        roots.desktopEntryFolders = {dir.path() + "/applications"};
        roots.iconThemeFolders = {dir.path() + "/icons"};
        qsizetype found = readDesktopEntries(roots.desktopEntryFolders, cancelled).size();
        if (found != count) {
            std::printf("expected %d entries, found %lld\n", count, (long long)found);
            return 1;
        }
        const double entries = bench::medianMs(
            3, [&] { found = readDesktopEntries(roots.desktopEntryFolders, cancelled).size(); });
        const double scan =
            bench::medianMs(3, [&] { found = scanCatalogue(roots, cancelled).size(); });
        const double index = bench::medianMs(3, [&] {
            found = IconThemeIndex(roots.iconThemeFolders, {}, QStringLiteral("hicolor"))
                        .find(QStringLiteral("bench-entry-0"), 64)
                        .size();
        });
        const double withIcons = bench::medianMs(3, [&] {
            IconCache icons(roots.iconThemeFolders, {}, [] { return QStringLiteral("hicolor"); });
            for (const AppItem& entry : scanCatalogue(roots, cancelled))
                found = icons.icon(entry.icon, 64).width();
        });
        std::printf("%8d %14.1f %12.1f %10.1f %12.1f %14.1f %16.1f %12.1f\n", count, entries,
                    entries * 1000 / count, scan, scan * 1000 / count, index, withIcons,
                    withIcons * 1000 / count);
    }
    return 0;
}
