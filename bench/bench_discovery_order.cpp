// Publishing the catalogue: filterAndSortApps over 10,000 applications with a
// 10,000-entry manual order, and how the ordering grows with the list, beside
// the plain rule that searches the manual order at every comparison.
#include "AppSettings.h"
#include "CatalogueGenerator.h"
#include "CatalogueOrdering.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <climits>
#include <cstdio>

namespace {

AppList catalogue(int count) {
    AppList apps;
    for (int i = 0; i < count; ++i)
        apps.append({QUuid::createUuid(),
                     QStringLiteral("Application %1").arg((i * 7919) % count),
                     QStringLiteral("com.example.bench.app%1").arg(i),
                     {},
                     {}});
    return apps;
}

QStringList shuffledOrder(const AppList& apps) {
    QStringList order;
    for (const AppItem& app : apps)
        order.append(app.bundleIdentifier);
    QRandomGenerator random(99);
    for (qsizetype i = order.size() - 1; i > 0; --i)
        order.swapItemsAt(i, random.bounded(i + 1));
    return order;
}

// The order as first written: the key is looked up afresh at every comparison.
AppList plainRule(const AppList& discovered, const QStringList& order) {
    AppList visible = discovered;
    const auto key = [&order](const AppItem& app) {
        const qsizetype at = order.indexOf(app.bundleIdentifier);
        return at < 0 ? LLONG_MAX : qint64(at);
    };
    std::stable_sort(visible.begin(), visible.end(),
                     [&](const AppItem& a, const AppItem& b) { return key(a) < key(b); });
    return visible;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);

    // The real object over 10,000 scanned desktop entries.
    {
        QTemporaryDir dir;
        bench::generateDesktopEntries(dir.path(), 10'000);
        bench::MemoryStore store;
        AppSettings settings(store);
        bench::NoTrash trash;
        CatalogueRoots roots;
        roots.desktopEntryFolders = {dir.path() + "/applications"};
        AppDiscovery discovery(settings, roots, trash);
        QEventLoop loop;
        QObject::connect(&discovery, &AppDiscovery::scanFinished, &loop, &QEventLoop::quit);
        discovery.loadApplications();
        loop.exec();
        settings.setCustomAppOrder(shuffledOrder(discovery.allDiscoveredApps()));
        const double manual = bench::medianMs(5, [&] { discovery.filterAndSortApps(); });
        settings.setCustomAppOrder({});
        const double alphabetical = bench::medianMs(5, [&] { discovery.filterAndSortApps(); });
        std::printf("filterAndSortApps, %lld applications: manual order (10,000 entries) %.1f ms, "
                    "alphabetical %.1f ms\n",
                    (long long)discovery.allDiscoveredApps().size(), manual, alphabetical);
    }

    std::printf("\nOrdering by size (median of 5 runs)\n");
    std::printf("%8s %12s %12s %14s %14s\n", "apps", "manual ms", "ns/app", "alphabet ms",
                "plain rule ms");
    for (const int count : {1'000, 2'500, 5'000, 10'000, 20'000, 40'000}) {
        const AppList apps = catalogue(count);
        const QStringList order = shuffledOrder(apps);
        AppList result;
        const double manual = bench::medianMs(5, [&] { result = orderCatalogue(apps, {}, order); });
        const double alphabetical =
            bench::medianMs(5, [&] { result = orderCatalogue(apps, {}, {}); });
        QString plain = QStringLiteral("-");
        if (count <= 5'000) {
            AppList slow;
            const double ms = bench::medianMs(1, [&] { slow = plainRule(apps, order); });
            plain = QString::number(ms, 'f', 1);
            if (!std::equal(slow.cbegin(), slow.cend(), orderCatalogue(apps, {}, order).cbegin(),
                            [](const AppItem& a, const AppItem& b) { return a.id == b.id; })) {
                std::printf("the two orders differ at %d applications\n", count);
                return 1;
            }
        }
        std::printf("%8d %12.2f %12.0f %14.2f %14s\n", count, manual, manual * 1e6 / count,
                    alphabetical, qPrintable(plain));
    }
    return 0;
}
