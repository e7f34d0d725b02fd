// The desktop-entry source over 100, 1,000 and 5,000 entries: reading the
// entries alone, and the whole scan with each entry's themed icon decoded.
#include "CatalogueGenerator.h"
#include "CatalogueScan.h"
#include "DesktopEntrySource.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    std::printf("Desktop entries (warm file cache; median of 3 runs)\n");
    std::printf("%8s %14s %12s %16s %12s\n", "entries", "entries ms", "us/entry", "with icons ms",
                "us/entry");
    const std::atomic_bool cancelled{false};
    for (const int count : {100, 1000, 5000}) {
        QTemporaryDir dir;
        bench::generateDesktopEntries(dir.path(), count);
        ScanOptions options;
        options.roots.desktopEntryFolders = {dir.path() + "/applications"};
        options.roots.iconThemeFolders = {dir.path() + "/icons"};
        options.iconTheme = QStringLiteral("hicolor");
        qsizetype found = readDesktopEntries(options.roots.desktopEntryFolders, cancelled).size();
        if (found != count) {
            std::printf("expected %d entries, found %lld\n", count, (long long)found);
            return 1;
        }
        const double entries = bench::medianMs(3, [&] {
            found = readDesktopEntries(options.roots.desktopEntryFolders, cancelled).size();
        });
        const double withIcons =
            bench::medianMs(3, [&] { found = scanCatalogue(options, cancelled).size(); });
        std::printf("%8d %14.1f %12.1f %16.1f %12.1f\n", count, entries, entries * 1000 / count,
                    withIcons, withIcons * 1000 / count);
    }
    return 0;
}
