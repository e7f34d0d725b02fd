// What the grid's model costs per change, with 5,000 applications and a few
// folders: the first fill, each keystroke of a search narrowing and widening
// the list, a new folder, and locating a cell under a drag.

#include "AppSettings.h"
#include "CatalogueGenerator.h"
#include "DefaultsStore.h"
#include "PagedGrid.h"
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

AppList filtered(const AppList& apps, const QString& text) {
    AppList shown;
    for (const AppItem& app : apps) {
        if (app.name.contains(text, Qt::CaseInsensitive))
            shown.append(app);
    }
    return shown;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    constexpr int appCount = 5000;
    AppList apps;
    for (int i = 0; i < appCount; ++i) {
        apps.append(AppItem{QUuid::createUuid(),
                            QStringLiteral("Application %1").arg(i),
                            QStringLiteral("org.bench.app%1").arg(i),
                            QStringLiteral("/bench/app%1.desktop").arg(i),
                            {}});
    }
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

    // Typing "Application 12" one key at a time, then deleting it again.
    const QString typed = QStringLiteral("Application 12");
    std::vector<double> keystrokes;
    for (qsizetype length = 1; length <= typed.size(); ++length) {
        const AppList shown = filtered(apps, typed.left(length));
        clock.restart();
        grid.setApps(shown);
        keystrokes.push_back(clock.nsecsElapsed() / 1e6);
    }
    for (qsizetype length = typed.size() - 1; length >= 0; --length) {
        const AppList shown = length == 0 ? apps : filtered(apps, typed.left(length));
        clock.restart();
        grid.setApps(shown);
        keystrokes.push_back(clock.nsecsElapsed() / 1e6);
    }
    const Stats typing = stats(keystrokes);
    std::printf("one keystroke's list handed to the grid: median %.2f ms, worst %.2f ms\n",
                typing.median, typing.worst);

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
