// What the grid's model costs per change, with 5,000 applications and a few
// folders: the first fill, each keystroke of a search (typed, deleted, pasted
// and cleared) at 200 and at 5,000 applications, a new folder, and locating a
// cell under a drag.

#include "AppSettings.h"
#include "CatalogueGenerator.h"
#include "DefaultsStore.h"
#include "PagedGrid.h"
#include "SearchRule.h"
#include "UuidText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Stats {
    double median;
    double worst;
};

Stats stats(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.back()};
}

// Names made of a few dozen syllables and words, so that a search narrows
// the way it does over real names rather than all at once.
AppList catalogue(int count) {
    static const char* const starts[] = {"Te", "Ma", "Fo", "Ca", "Vi", "No", "Pi", "Ra"};
    static const char* const ends[] = {"xt", "il", "to", "lc", "deo", "tes", "ano", "dio"};
    static const char* const words[] = {"Editor", "Viewer", "Player", "Manager",
                                        "Studio", "Tools",  "Center", "Monitor"};
    static const char* const keywords[] = {"Office",  "Média",    "Graphics", "Network", "System",
                                           "Utility", "Écriture", "Game",     "Audio",   "Files"};
    AppList apps;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("%1%2 %3 %4")
                                 .arg(QLatin1String(starts[i % 8]), QLatin1String(ends[i / 8 % 8]),
                                      QLatin1String(words[i / 64 % 8]))
                                 .arg(i / 512);
        AppItem app{QUuid::createUuid(),
                    name,
                    QStringLiteral("org.bench.app%1").arg(i),
                    QStringLiteral("/bench/app%1.desktop").arg(i),
                    {}};
        // What a desktop entry typically adds: a generic name, a few keywords
        // and its program, so a keystroke also looks through those.
        QStringList others{QStringLiteral("Bench %1").arg(QLatin1String(words[i % 8]))};
        for (int k = 0; k < 5; ++k)
            others.append(QString::fromUtf8(keywords[(i + k * 3) % 10]));
        others.append(QStringLiteral("bench-app%1").arg(i));
        prepareForSearch(app, others);
        apps.append(std::move(app));
    }
    return apps;
}

// One search session, key by key: the main screen's filtering of the
// catalogue by the search rule, and what the grid then does with the filtered list.
void typeInto(PagedGrid& grid, const AppList& apps) {
    const QStringList texts = {"t",   "te",     "tex",   "text", "text ",   "text e", "text",
                               "tex", "te",     "t",     "",     "vi",      "video",  "video p",
                               "",    "editor", "edito", "edit", "manager", "",       "o"};
    std::vector<double> filtering;
    std::vector<double> updating;
    grid.setApps(apps);
    for (const QString& text : texts) {
        QElapsedTimer clock;
        clock.start();
        const AppList shown = filterApps(apps, text);
        filtering.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        grid.setApps(shown);
        updating.push_back(clock.nsecsElapsed() / 1e6);
    }
    const Stats filter = stats(filtering);
    const Stats update = stats(updating);
    std::printf("one keystroke, %lld applications: filter median %.2f ms (worst %.2f), grid "
                "update median %.2f ms (worst %.2f)\n",
                static_cast<long long>(apps.size()), filter.median, filter.worst, update.median,
                update.worst);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    constexpr int appCount = 5000;
    const AppList apps = catalogue(appCount);
    bench::MemoryStore store;
    AppSettings settings(store);
    for (int f = 0; f < 10; ++f) {
        settings.createFolder(
            QStringLiteral("Folder %1").arg(f),
            {apps.at(f * 3).bundleIdentifier, apps.at(f * 3 + 1).bundleIdentifier});
    }
    PagedGrid grid;
    grid.setSettings(&settings);

    QElapsedTimer clock;
    clock.start();
    grid.setApps(apps);
    std::printf("grid model, %d applications, 10 folders: first fill %.1f ms (%d pages)\n",
                appCount, clock.nsecsElapsed() / 1e6, grid.pageCount());

    // Done by the scan thread once per scan; the raw names are folded again here.
    AppList refolded = apps;
    clock.restart();
    for (AppItem& item : refolded)
        prepareForSearch(item, QStringList(item.searchAliases));
    std::printf("folding the names of %d applications for search: %.1f ms\n", appCount,
                clock.nsecsElapsed() / 1e6);

    typeInto(grid, apps);
    PagedGrid small;
    small.setSettings(&settings);
    typeInto(small, apps.first(200));
    grid.setApps(apps);

    clock.restart();
    settings.createFolder(QStringLiteral("New"), {apps.at(100).bundleIdentifier});
    std::printf("a new folder recomposes the grid: %.1f ms\n", clock.nsecsElapsed() / 1e6);

    // The last application sits on the last page, the worst case for a lookup.
    const QString last = uuidText(apps.last().id);
    grid.beginDrag(uuidText(apps.at(50).id));
    std::vector<double> updates;
    for (int i = 0; i < 200; ++i) {
        clock.restart();
        (void)grid.dropUpdated(last);
        updates.push_back(clock.nsecsElapsed() / 1e6);
    }
    grid.endDrag();
    const Stats update = stats(updates);
    std::printf("one drag move over the last page's tile: median %.3f ms, worst %.3f ms\n",
                update.median, update.worst);
    return 0;
}
