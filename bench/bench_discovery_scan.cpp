// The bundle scan over generated trees of 100 to 10,000 bundles, alone (it
// decodes no icon) and followed by every icon decoded at 64 pixels, which views
// would pay if they showed them all at once, each beside find(1) walking the
// same tree in the same run, and the process's peak memory so far (the counts
// grow, so it is each size's peak).
#include "BundleWalk.h"
#include "CatalogueGenerator.h"
#include "CatalogueScan.h"
#include "IconCache.h"

#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    std::printf("Bundle scan (three application folders; warm file cache; median of 3 runs)\n");
    std::printf("%8s %10s %10s %10s %10s %10s %14s %10s %8s\n", "bundles", "find ms", "walk ms",
                "vs find", "scan ms", "vs find", "every icon ms", "vs find", "peak MB");
    const std::atomic_bool cancelled{false};
    for (const int count : {100, 1000, 5000, 10000}) {
        QTemporaryDir dir;
        QElapsedTimer made;
        made.start();
        bench::generateBundleTree(dir.path(), count);
        std::fprintf(stderr, "  (generated %d bundles in %.1f s)\n", count,
                     made.elapsed() / 1000.0);

        CatalogueRoots roots;
        roots.bundleFolders = CatalogueRoots::bundleFoldersUnder(dir.path());
        qsizetype found = scanCatalogue(roots, cancelled).size(); // warms the cache
        if (found != count) {
            std::printf("expected %d applications, found %lld\n", count, (long long)found);
            return 1;
        }
        const double find = bench::medianMs(3, [&] { bench::timeFind(roots.bundleFolders); });
        const double walk = bench::medianMs(3, [&] {
            for (const QString& folder : roots.bundleFolders)
                found = findAppItems(folder, cancelled).size();
        });
        const double scan =
            bench::medianMs(3, [&] { found = scanCatalogue(roots, cancelled).size(); });
        const double withIcons = bench::medianMs(3, [&] {
            IconCache icons({}, {}, [] { return QString(); });
            for (const AppItem& bundle : scanCatalogue(roots, cancelled))
                found = icons.icon(bundle.icon, 64).width();
        });
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%8d %10.1f %10.1f %9.2fx %10.1f %9.2fx %14.1f %9.2fx %8.0f\n", count, find,
                    walk, walk / find, scan, scan / find, withIcons, withIcons / find,
                    double(usage.ru_maxrss) / 1024.0);
        std::fflush(stdout);
    }
    return 0;
}
