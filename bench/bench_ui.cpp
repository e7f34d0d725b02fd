// Launcher responsiveness on the software renderer: cold start to the first
// complete frame, F4 to the first frame when warm, one keystroke in the search
// field to the frame that shows the letter and to the one that shows its
// results, and resident memory.

#include "AnimationClock.h"
#include "AppDelegate.h"
#include "AppDiscovery.h"
#include "AppSettings.h"
#include "GlobalHotkey.h"
#include "LauncherFrame.h"
#include "LauncherScene.h"
#include "MainScreen.h"
#include "OffscreenBench.h"
#include "QSettingsDefaultsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QProcess>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

constexpr int iconVariety = 100;

// No global key in a benchmark: the toggle is driven directly.
class NoHotkey final : public GlobalHotkey {
public:
    bool start() override { return false; }
};

// `count` desktop entries with 128-pixel icons under `dataHome`/applications.
void writeCatalogue(const QString& dataHome, int count) {
    const QString entries = dataHome + QStringLiteral("/applications");
    const QString icons = dataHome + QStringLiteral("/icons-bench");
    QDir().mkpath(entries);
    QDir().mkpath(icons);
    for (int i = 0; i < iconVariety; ++i) {
        QImage icon(128, 128, QImage::Format_ARGB32);
        icon.fill(QColor::fromHsv(i * 360 / iconVariety, 200, 220));
        icon.save(QStringLiteral("%1/icon%2.png").arg(icons).arg(i));
    }
    for (int i = 0; i < count; ++i) {
        QFile entry(QStringLiteral("%1/org.bench.app%2.desktop").arg(entries).arg(i));
        if (!entry.open(QIODevice::WriteOnly))
            continue;
        entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Application %1\n"
                                   "Exec=true\nIcon=%2/icon%3.png\n")
                        .arg(i)
                        .arg(icons)
                        .arg(i % iconVariety)
                        .toUtf8());
    }
}

CatalogueRoots rootsUnder(const QString& dataHome) {
    CatalogueRoots roots;
    roots.desktopEntryFolders = {dataHome + QStringLiteral("/applications")};
    return roots;
}

// Runs the event loop until the view has put a frame on screen after `action`.
double msToNextFrame(QQuickView& view, const std::function<void()>& action) {
    QEventLoop loop;
    const QMetaObject::Connection connection =
        QObject::connect(&view, &QQuickWindow::frameSwapped, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    action();
    loop.exec();
    QObject::disconnect(connection);
    return clock.nsecsElapsed() / 1e6;
}

struct KeyFrames {
    double letter = 0;
    double results = 0;
};

// Runs the event loop after a keystroke until the grid has narrowed and a
// frame has shown it, noting the first frame (the letter's) on the way.
KeyFrames keyToFrames(LauncherScene& scene, const std::function<void()>& type) {
    QEventLoop loop;
    KeyFrames times;
    bool narrowed = false;
    QElapsedTimer clock;
    const QMetaObject::Connection results = QObject::connect(
        &scene.mainScreen(), &MainScreen::filteredAppsChanged, &loop, [&] { narrowed = true; });
    const QMetaObject::Connection frames =
        QObject::connect(&scene.view(), &QQuickWindow::frameSwapped, &loop, [&] {
            const double now = clock.nsecsElapsed() / 1e6;
            times.letter = times.letter > 0 ? times.letter : now;
            if (narrowed) {
                times.results = now;
                loop.quit();
            }
        });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    clock.start();
    type();
    loop.exec();
    QObject::disconnect(results);
    QObject::disconnect(frames);
    return times;
}

void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

struct Stats {
    double median;
    double p90;
    double worst;
};

Stats stats(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const auto at = [&samples](double q) {
        return samples[std::min(samples.size() - 1, size_t(q * double(samples.size())))];
    };
    return {at(0.5), at(0.9), samples.back()};
}

// Builds the launcher over the catalogue, shows it and waits for the first frame
// that shows the grid. Returns the milliseconds that took.
double coldStart(std::unique_ptr<LauncherScene>& scene, AppSettings& settings,
                 const QString& dataHome) {
    QElapsedTimer clock;
    clock.start();
    scene = std::make_unique<LauncherScene>(settings, rootsUnder(dataHome));
    if (!scene->isReady())
        return -1;
    QQuickView& view = scene->view();
    view.setGeometry(launcherFrame(*QGuiApplication::primaryScreen()));
    MainScreen& screen = scene->mainScreen();
    view.show();
    QEventLoop loop;
    QObject::connect(&view, &QQuickWindow::frameSwapped, &loop, [&] {
        if (screen.contentState() == MainScreen::ContentState::Grid)
            loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return clock.nsecsElapsed() / 1e6;
}

QQuickItem* findItem(QQuickItem* item, const QString& name) {
    if (item == nullptr || item->objectName() == name)
        return item;
    const QList<QQuickItem*> children = item->childItems();
    for (QQuickItem* child : children) {
        if (QQuickItem* found = findItem(child, name))
            return found;
    }
    return nullptr;
}

void sendKey(QWindow& window, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&window, &press);
    QCoreApplication::sendEvent(&window, &release);
}

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    QTemporaryFile screens;
    if (!prepareOffscreenBench(home, screens))
        return 1;
    QGuiApplication app(argc, argv);
    installAnimationClock(); // the launcher's pacing

    const QString small = home.filePath("catalogue-1000");
    const QString large = home.filePath("catalogue-5000");
    writeCatalogue(small, 1000);
    writeCatalogue(large, 5000);
    std::printf("renderer: software (Qt Quick 2D renderer), platform: %s, screen 1920x1080\n",
                qPrintable(QGuiApplication::platformName()));

    QSettingsDefaultsStore store(home.filePath("config/bench.conf"));
    AppSettings settings(store);

    // Whole program: start, scan, render and save a screenshot, then exit.
    const QString binary =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/quorlin");
    if (QFile::exists(binary)) {
        std::vector<double> runs;
        for (int i = 0; i < 3; ++i) {
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_DATA_HOME"), small);
            process.setProcessEnvironment(env);
            QElapsedTimer clock;
            clock.start();
            process.start(binary, {QStringLiteral("--root"), home.filePath("none"),
                                   QStringLiteral("--screenshot"), home.filePath("shot.png")});
            process.waitForFinished(120000);
            runs.push_back(clock.nsecsElapsed() / 1e6);
            if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
                std::printf("the screenshot run failed: %s\n",
                            process.readAllStandardError().constData());
                break;
            }
        }
        std::printf("process start to saved screenshot, 1,000 apps: median %.0f ms (includes a "
                    "fixed %d ms wait for late pictures)\n",
                    stats(runs).median, 300);
    }

    std::unique_ptr<LauncherScene> scene;
    const double cold = coldStart(scene, settings, small);
    std::printf("cold start to first complete frame, 1,000 apps: %.0f ms\n", cold);
    settle(500);
    std::printf("resident memory, 1,000 apps shown: %.1f MiB\n", residentKiB() / 1024.0);

    NoHotkey hotkey;
    AppDelegate delegate(hotkey);
    delegate.setupWindow(&scene->view(), scene->view().rootObject());
    std::vector<double> toggles;
    for (int i = 0; i < 15; ++i) {
        delegate.hideLauncher();
        settle(30);
        toggles.push_back(msToNextFrame(scene->view(), [&delegate] { delegate.toggleWindow(); }));
    }
    const Stats shown = stats(toggles);
    std::printf(
        "F4 to first frame (warm, 1,000 apps): median %.1f ms, p90 %.1f ms, worst %.1f ms\n",
        shown.median, shown.p90, shown.worst);
    scene.reset();
    settle(100);

    const double coldLarge = coldStart(scene, settings, large);
    std::printf("cold start to first complete frame, 5,000 apps: %.0f ms\n", coldLarge);
    QQuickView& view = scene->view();
    QQuickItem* field = findItem(view.rootObject(), QStringLiteral("searchField"));
    if (field != nullptr)
        field->forceActiveFocus();
    settle(200);
    std::vector<double> letters;
    std::vector<double> results;
    for (int i = 0; i < 20; ++i) {
        const bool type = i % 2 == 0;
        const KeyFrames times = keyToFrames(*scene, [&view, type] {
            if (type)
                sendKey(view, Qt::Key_9, QStringLiteral("9"));
            else
                sendKey(view, Qt::Key_Backspace, QString());
        });
        letters.push_back(times.letter);
        results.push_back(times.results);
        settle(20);
    }
    const Stats typed = stats(letters);
    const Stats found = stats(results);
    std::vector<double> models;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        scene->mainScreen().setSearchText(i % 2 == 0 ? QStringLiteral("9") : QString());
        scene->mainScreen().applyPendingSearch();
        models.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("(of which search, filter and grid update without drawing: median %.1f ms)\n",
                stats(models).median);
    std::printf("keystroke to the frame with the letter, 5,000 apps: median %.1f ms, p90 %.1f ms, "
                "worst %.1f ms\n",
                typed.median, typed.p90, typed.worst);
    std::printf("keystroke to the frame with its results, 5,000 apps: median %.1f ms, p90 %.1f ms, "
                "worst %.1f ms\n",
                found.median, found.p90, found.worst);
    std::printf("(search text after typing: \"%s\", %lld apps shown)\n",
                qPrintable(scene->mainScreen().searchText()),
                static_cast<long long>(scene->mainScreen().filteredApps().size()));
    return 0;
}
