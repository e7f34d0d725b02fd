// The launcher's first screen over catalogues of 200, 1,000 and 5,000
// applications (half bundles with ICNS icons, half desktop entries with themed
// icons): milliseconds from the process's start to the catalogue published, to
// the first frame of the grid and to the first page's icons all drawn, and the
// process's peak resident memory once they are. Each size runs in a process of
// its own, so each peak is that size's alone. Each size runs cold (no catalogue
// cache) and then warm (the cache a previous run left), where the grid comes
// from the cache and "published" is still its scan ending behind it. Each runs
// with the catalogue's files in the page cache, and again with them dropped
// from it before every run (as after a reboot; folders and inodes stay cached).

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
#include <QQuickView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

#include <QDirIterator>

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

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

// Drops the files under `root` from the page cache: a start then reads them
// from the disk. Needs no privilege: clean pages of a file one can open go.
void dropFromPageCache(const QString& root) {
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const int fd = ::open(QFile::encodeName(it.next()).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// One launcher over the catalogue in `dir`; prints "published grid icons peak".
int runChild(int argc, char* argv[], const QString& dir, qint64 spawnedAt) {
    QGuiApplication app(argc, argv);
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
    // A warm start shows its icons before the scan ends: both are waited for.
    QObject::connect(&scene.discovery(), &AppDiscovery::scanFinished, &loop, [&] {
        published = since();
        if (icons >= 0)
            loop.quit();
    });
    QObject::connect(&view, &QQuickWindow::frameSwapped, &loop, [&] {
        if (screen.contentState() != MainScreen::ContentState::Grid)
            return;
        if (grid < 0)
            grid = since();
        if (icons >= 0)
            return;
        if (hasTile(view.contentItem()) && !anyImageLoading(view.contentItem())) {
            icons = since();
            if (published >= 0)
                loop.quit();
        } else {
            // Pictures arriving do not always ask for a frame of their own.
            QTimer::singleShot(5, &view, &QQuickWindow::update);
        }
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    view.show();
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
    std::printf("First screen (software renderer, 1920x1080 offscreen; median of 3 runs; half "
                "bundles, half themed desktop entries; cache: catalogue cache cold or warm; "
                "files: catalogue files in the page cache or dropped from it)\n");
    std::printf("%6s %5s %8s %14s %10s %14s %10s | %14s %10s\n", "apps", "cache", "files",
                "published ms", "grid ms", "icons shown ms", "peak MiB", "earlier: pub ms",
                "peak MiB");
    int status = 0;
    for (const int count : sizes) {
        QTemporaryDir catalogue;
        bench::generateBundleTree(catalogue.path(), count / 2);
        bench::generateDesktopEntries(catalogue.path(), count - count / 2);
        QElapsedTimer generated;
        generated.start();
        // Cold runs each get an empty cache folder; warm runs share one, which
        // the first of them (a warm-up, like the first cold run) fills.
        QTemporaryDir warmCache;
        for (const bool dropped : {false, true})
            for (const bool warm : {false, true}) {
                // The cache trusts no file changed within two seconds of its
                // stamps: a fresh tree would never be served from it.
                if (warm && generated.elapsed() < 2500)
                    QThread::msleep(2500 - generated.elapsed());
                std::vector<double> published, grid, icons, peak;
                for (int run = 0; run < 4; ++run) {
                    QTemporaryDir coldCache;
                    if (dropped) {
                        dropFromPageCache(catalogue.path());
                        dropFromPageCache(warmCache.path());
                    }
                    QProcess child;
                    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                    env.insert(QStringLiteral("XDG_DATA_HOME"), catalogue.path());
                    env.insert(QStringLiteral("XDG_CACHE_HOME"),
                               warm ? warmCache.path() : coldCache.path());
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
                    if (row.apps == count && !warm && !dropped) {
                        earlierPublished = row.publishedMs;
                        earlierPeak = row.peakMiB;
                    }
                }
                std::printf("%6d %5s %8s %14.0f %10.0f %14.0f %10.1f | %14.0f %10.1f\n", count,
                            warm ? "warm" : "cold", dropped ? "dropped" : "cached",
                            median(published), median(grid), median(icons), median(peak),
                            earlierPublished, earlierPeak);
                std::fflush(stdout);
            }
    }
    return status;
}
