// Frame times of the launcher grid on the software renderer, with 5,000
// applications: while the pages scroll from one to the next (icons still
// arriving), and while the 35 tiles of a page wiggle in edit mode. Reports what
// one frame costs to build and render, and the time between frames that
// reached the screen; while paging, only the gaps between frames that moved
// the pages count, so the pause between two turns is not taken for a stall.

#include "AnimationClock.h"
#include "AppSettings.h"
#include "CatalogueRoots.h"
#include "LauncherFrame.h"
#include "LauncherScene.h"
#include "MainScreen.h"
#include "OffscreenBench.h"
#include "PagedGrid.h"
#include "QSettingsDefaultsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
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

constexpr int appCount = 5000;

// Desktop entries with 128-pixel icons that have some detail to scale and rotate.
void writeCatalogue(const QString& dataHome) {
    const QString entries = dataHome + QStringLiteral("/applications");
    const QString icons = dataHome + QStringLiteral("/icons");
    QDir().mkpath(entries);
    QDir().mkpath(icons);
    constexpr int variety = 60;
    for (int i = 0; i < variety; ++i) {
        QImage icon(128, 128, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient fill(0, 0, 128, 128);
        fill.setColorAt(0, QColor::fromHsv(i * 360 / variety, 180, 250));
        fill.setColorAt(1, QColor::fromHsv((i * 360 / variety + 60) % 360, 220, 160));
        painter.setBrush(fill);
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(8, 8, 112, 112), 26, 26);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(40, 40, 48, 48));
        painter.end();
        icon.save(QStringLiteral("%1/icon%2.png").arg(icons).arg(i));
    }
    for (int i = 0; i < appCount; ++i) {
        QFile entry(QStringLiteral("%1/org.bench.grid%2.desktop").arg(entries).arg(i));
        if (!entry.open(QIODevice::WriteOnly))
            continue;
        entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Application %1\n"
                                   "Exec=true\nIcon=%2/icon%3.png\n")
                        .arg(i)
                        .arg(icons)
                        .arg(i % variety)
                        .toUtf8());
    }
}

void settle(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Per frame: the time from the start of the scene-graph sync to the end of
// rendering (what the frame costs the process), and the gap since the frame
// before it.
class FrameRecorder {
public:
    explicit FrameRecorder(QQuickWindow& window) {
        m_clock.start();
        QObject::connect(
            &window, &QQuickWindow::beforeSynchronizing, &window,
            [this] { m_frameStart = m_clock.nsecsElapsed(); }, Qt::DirectConnection);
        QObject::connect(
            &window, &QQuickWindow::afterRendering, &window,
            [this] {
                if (!m_recording)
                    return;
                const qint64 now = m_clock.nsecsElapsed();
                m_costs.push_back((now - m_frameStart) / 1e6);
                // The software render loop renders on the GUI thread, so the
                // pages can be read here.
                const double x = m_pages ? m_pages->property("contentX").toDouble() : 0;
                const bool moved = m_pages == nullptr || x != m_lastX;
                m_lastX = x;
                if (m_lastFrameEnd >= 0 && moved)
                    m_intervals.push_back((now - m_lastFrameEnd) / 1e6);
                // Split for the reader: the wait before a turn's first moving
                // frame, and the gaps between two frames that both moved.
                if (moved && m_lastMoved && m_lastFrameEnd >= 0)
                    m_motionGaps.push_back((now - m_lastFrameEnd) / 1e6);
                if (moved && m_turnStart >= 0) {
                    m_turnLatencies.push_back((now - m_turnStart) / 1e6);
                    m_turnStart = -1;
                }
                m_lastMoved = moved;
                m_lastFrameEnd = now;
            },
            Qt::DirectConnection);
    }

    void start() {
        m_costs.clear();
        m_intervals.clear();
        m_motionGaps.clear();
        m_turnLatencies.clear();
        m_lastFrameEnd = -1;
        m_recording = true;
        m_span.start();
    }

    // The next frame starts a new run of frames: the idle time before it is
    // not a slow frame.
    void restartIntervals() {
        m_lastFrameEnd = -1;
        m_lastMoved = false;
        m_turnStart = m_clock.nsecsElapsed();
    }
    // Counts only the gaps before frames that moved these pages (nullptr: all).
    void watchMotion(QQuickItem* pages) { m_pages = pages; }

    void report(const char* what) {
        m_recording = false;
        const double seconds = m_span.nsecsElapsed() / 1e9;
        if (m_costs.empty()) {
            std::printf("%s: no frames\n", what);
            return;
        }
        std::printf("%s: %zu frames in %.1f s (%.0f per second); frame cost median %.1f ms, "
                    "p90 %.1f ms, worst %.1f ms; frame interval median %.1f ms, p90 %.1f ms, "
                    "worst %.1f ms\n",
                    what, m_costs.size(), seconds, double(m_costs.size()) / seconds,
                    quantile(m_costs, 0.5), quantile(m_costs, 0.9), quantile(m_costs, 1.0),
                    quantile(m_intervals, 0.5), quantile(m_intervals, 0.9),
                    quantile(m_intervals, 1.0));
        if (!m_turnLatencies.empty())
            std::printf(
                "  of which: turn asked to its first moved frame median %.1f ms, worst %.1f "
                "ms; gaps between two moved frames median %.1f ms, p90 %.1f ms, worst %.1f "
                "ms\n",
                quantile(m_turnLatencies, 0.5), quantile(m_turnLatencies, 1.0),
                quantile(m_motionGaps, 0.5), quantile(m_motionGaps, 0.9),
                quantile(m_motionGaps, 1.0));
    }

private:
    static double quantile(std::vector<double> samples, double q) {
        if (samples.empty())
            return 0;
        std::sort(samples.begin(), samples.end());
        return samples[std::min(samples.size() - 1, size_t(q * double(samples.size())))];
    }

    QElapsedTimer m_clock;
    QElapsedTimer m_span;
    qint64 m_frameStart = 0;
    qint64 m_lastFrameEnd = -1;
    qint64 m_turnStart = -1;
    bool m_lastMoved = false;
    bool m_recording = false;
    QQuickItem* m_pages = nullptr;
    double m_lastX = 0;
    std::vector<double> m_costs;
    std::vector<double> m_intervals;
    std::vector<double> m_motionGaps;
    std::vector<double> m_turnLatencies;
};

} // namespace

int main(int argc, char* argv[]) {
    QTemporaryDir home;
    QTemporaryFile screens;
    if (!prepareOffscreenBench(home, screens))
        return 1;
    // A desktop picture, as a desktop has one: the background behind the moving
    // pages is redrawn with every frame. Plasma's plain settings file names it.
    const bool picture = qEnvironmentVariable("BENCH_NO_PICTURE").isEmpty();
    if (picture) {
        QImage noise(1920, 1200, QImage::Format_RGB32);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, qRgb(x * 255 / 1920, y * 255 / 1200, (x ^ y) & 255));
        noise.save(home.filePath("picture.png"));
        QFile rc(home.filePath("config/plasma-org.kde.plasma.desktop-appletsrc"));
        QDir().mkpath(home.filePath("config"));
        if (rc.open(QIODevice::WriteOnly))
            rc.write("[Containments][1][Wallpaper][org.kde.image][General]\nImage=file://" +
                     QFile::encodeName(home.filePath("picture.png")) + '\n');
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
    }
    QGuiApplication app(argc, argv);
    installAnimationClock(); // the launcher's pacing

    const QString dataHome = home.filePath("catalogue");
    writeCatalogue(dataHome);
    std::printf("renderer: software (Qt Quick 2D renderer), platform: %s, screen 1920x1080, "
                "%d applications, %s\n",
                qPrintable(QGuiApplication::platformName()), appCount,
                picture ? "over a desktop picture" : "over the fallback gradient");

    QSettingsDefaultsStore store(home.filePath("config/bench.conf"));
    AppSettings settings(store);
    CatalogueRoots roots;
    roots.desktopEntryFolders = {dataHome + QStringLiteral("/applications")};
    LauncherScene scene(settings, roots);
    if (!scene.isReady())
        return 1;
    QQuickView& view = scene.view();
    view.setGeometry(launcherFrame(*QGuiApplication::primaryScreen()));
    MainScreen& screen = scene.mainScreen();
    view.show();
    QElapsedTimer waited;
    waited.start();
    while (screen.contentState() != MainScreen::ContentState::Grid && waited.elapsed() < 60000)
        settle(20);
    settle(1500);
    PagedGrid& grid = *screen.grid();
    if (grid.pageCount() < 3) {
        std::printf("the grid did not come up (%d pages)\n", grid.pageCount());
        return 1;
    }

    FrameRecorder recorder(view);

    // Page by page to the fifth page and back, as dot clicks do, each scroll
    // left to finish before the next.
    recorder.watchMotion(view.rootObject()->findChild<QQuickItem*>(QStringLiteral("pages")));
    recorder.start();
    for (int page : {1, 2, 3, 4, 3, 2, 1, 0}) {
        recorder.restartIntervals();
        grid.setCurrentPage(page);
        settle(450);
    }
    recorder.report("paging (8 page turns)");
    recorder.watchMotion(nullptr);

    screen.setEditMode(true);
    settle(300);
    recorder.start();
    settle(3000);
    recorder.report("35 tiles wiggling in edit mode (3 s)");
    screen.setEditMode(false);

    recorder.start();
    settle(1000);
    recorder.report("idle, for comparison (1 s)");
    return 0;
}
