// The launcher's first screen over catalogues of 200, 1,000 and 5,000
// applications (half bundles with ICNS icons, half desktop entries with themed
// icons): milliseconds from the process's start to the catalogue published, to
// the first frame of the grid and to the first page's icons all drawn, and the
// process's peak resident memory once they are. Each size runs in a process of
// its own, so each peak is that size's alone.

#include "AppDiscovery.h"
#include "AppSettings.h"
#include "CatalogueGenerator.h"
#include "LauncherFrame.h"
#include "LauncherScene.h"
#include "MainScreen.h"
#include "OffscreenBench.h"
#include "ScreenshotComposer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

#include <cstdio>
#include <sys/resource.h>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

constexpr int sizes[] = {200, 1000, 5000};

// The same runs when every icon was decoded at 128 pixels before the catalogue
// was published, on a busy 2-core machine, for comparison.
struct Earlier {
    int apps;
    double publishedMs;
    double peakMiB;
};
constexpr Earlier earlier[] = {{200, 920, 89.6}, {1000, 1842, 141.6}, {5000, 8670, 401.5}};

bool hasTile(const QQuickItem* item) {
    if (item->objectName() == QStringLiteral("tileIcon"))
        return true;
    const QList<QQuickItem*> children = item->childItems();
    return std::any_of(children.begin(), children.end(), hasTile);
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// One launcher over the catalogue in `dir`; prints "published grid icons peak".
int runChild(int argc, char* argv[], const QString& dir, qint64 spawnedAt) {
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    const auto since = [spawnedAt] {
        QElapsedTimer now;
        now.start();
        return double(now.msecsSinceReference() - spawnedAt);
    };
    bench::MemoryStore store;
    AppSettings settings(store);
    LauncherScene scene(settings, CatalogueRoots::system(dir));
    if (!scene.isReady())
        return 1;
    QQuickView& view = scene.view();
    MainScreen& screen = scene.mainScreen();
    view.setGeometry(launcherFrame(*QGuiApplication::primaryScreen()));
    double published = -1;
    double grid = -1;
    double icons = -1;
    QEventLoop loop;
    QObject::connect(&scene.discovery(), &AppDiscovery::scanFinished, &loop,
                     [&] { published = since(); });
    QObject::connect(&view, &QQuickWindow::frameSwapped, &loop, [&] {
        if (screen.contentState() != MainScreen::ContentState::Grid)
            return;
        if (grid < 0)
            grid = since();
        if (hasTile(view.contentItem()) && !anyImageLoading(view.contentItem())) {
            icons = since();
            loop.quit();
        } else {
            // Pictures arriving do not always ask for a frame of their own.
            QTimer::singleShot(5, &view, &QQuickWindow::update);
        }
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    view.show();
    screen.appear();
    loop.exec();
    std::printf("%.0f %.0f %.0f %.1f\n", published, grid, icons, peakMiB());
    return icons < 0 ? 1 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0)
        return runChild(1, argv, QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong());

    QTemporaryDir home;
    QTemporaryFile screens;
    if (!prepareOffscreenBench(home, screens))
        return 1;
    QCoreApplication app(argc, argv);
    std::printf("First screen (software renderer, 1920x1080 offscreen; warm file cache; median "
                "of 3 runs; half bundles, half themed desktop entries)\n");
    std::printf("%6s %14s %10s %14s %10s | %14s %10s\n", "apps", "published ms", "grid ms",
                "icons shown ms", "peak MiB", "earlier: pub ms", "peak MiB");
    int status = 0;
    for (const int count : sizes) {
        QTemporaryDir catalogue;
        bench::generateBundleTree(catalogue.path(), count / 2);
        bench::generateDesktopEntries(catalogue.path(), count - count / 2);
        std::vector<double> published, grid, icons, peak;
        for (int run = 0; run < 4; ++run) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_DATA_HOME"), catalogue.path());
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QElapsedTimer spawned;
            spawned.start();
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--child"), catalogue.path(),
                         QString::number(spawned.msecsSinceReference())});
            child.waitForFinished(180000);
            // The launcher prints lines of its own before the figures.
            const QList<QByteArray> figures =
                child.readAllStandardOutput().trimmed().split('\n').last().split(' ');
            if (child.exitCode() != 0 || figures.size() != 4) {
                std::printf("%6d the launcher did not show its icons\n", count);
                status = 1;
                break;
            }
            if (run == 0)
                continue; // the first run warms the file cache
            published.push_back(figures[0].toDouble());
            grid.push_back(figures[1].toDouble());
            icons.push_back(figures[2].toDouble());
            peak.push_back(figures[3].toDouble());
        }
        if (published.empty())
            continue;
        const auto median = [](std::vector<double> values) {
            std::sort(values.begin(), values.end());
            return values[values.size() / 2];
        };
        double earlierPublished = 0;
        double earlierPeak = 0;
        for (const Earlier& row : earlier) {
            if (row.apps == count) {
                earlierPublished = row.publishedMs;
                earlierPeak = row.peakMiB;
            }
        }
        std::printf("%6d %14.0f %10.0f %14.0f %10.1f | %14.0f %10.1f\n", count, median(published),
                    median(grid), median(icons), median(peak), earlierPublished, earlierPeak);
        std::fflush(stdout);
    }
    return status;
}
