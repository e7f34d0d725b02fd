#include "QuorlinApp.h"

#include "AppDelegate.h"
#include "AppDiscovery.h"
#include "AppSettings.h"
#include "DesktopBackground.h"
#include "InstanceChannel.h"
#include "LauncherFrame.h"
#include "LauncherScene.h"
#include "MainScreen.h"
#include "PagedGrid.h"
#include "ScreenshotComposer.h"
#include "SystemGlobalHotkey.h"
#include "TerminationSignal.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

// A screenshot waits this long at most for the catalogue and the picture.
constexpr int screenshotTimeoutMs = 120000;
// Time for pictures that views load on their own after the data is in.
constexpr int screenshotSettleMs = 300;

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// What a start with --background asks of a launcher that already runs: nothing.
// The running one ignores words it does not know, so it stays as it is, shown
// or hidden, and this start ends.
const QByteArray backgroundRequest = QByteArrayLiteral("background");

void runEventsFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

QuorlinApp::QuorlinApp(LaunchOptions options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options)) {}

QuorlinApp::~QuorlinApp() = default;

int QuorlinApp::exec() {
    return m_options.screenshotPath.isEmpty() ? runLauncher() : runScreenshot();
}

int QuorlinApp::runLauncher() {
    const QByteArray request = m_options.toggle       ? InstanceChannel::toggleMessage
                               : m_options.background ? backgroundRequest
                                                      : InstanceChannel::reopenMessage;
    InstanceChannel::Claim claim = InstanceChannel::claim(InstanceChannel::sessionName(), request);
    if (claim.delivered)
        return 0;
    m_channel = std::move(claim.channel);
    if (!m_channel)
        std::fprintf(stderr, "quorlin: other users hold every launcher channel name; starting "
                             "without one, so --toggle cannot reach this launcher\n");

    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The session's end, or Ctrl+C, quits through the event loop: the scene's
    // destructors then write the catalogue cache that the next start shows.
    const TerminationSignal termination;
    connect(&termination, &TerminationSignal::requested, this, &QCoreApplication::quit);
    m_scene = std::make_unique<LauncherScene>(AppSettings::shared(), m_options.roots);
    if (!m_scene->isReady())
        return 1;
    QQuickView& view = m_scene->view();
    MainScreen& mainScreen = m_scene->mainScreen();
    m_hotkey = std::make_unique<SystemGlobalHotkey>();
    m_delegate = std::make_unique<AppDelegate>(*m_hotkey);
    m_delegate->setupWindow(&view, view.rootObject());
    m_delegate->setNavigator([&mainScreen](int key) { return mainScreen.navigate(key); });
    connect(&view, &QWindow::visibleChanged, &mainScreen, [&mainScreen](bool visible) {
        if (visible)
            mainScreen.resetKeyboardFocus();
    });
    m_scene->background().setViewSize(view.size());
    connect(m_delegate.get(), &AppDelegate::escapePressed, &mainScreen, &MainScreen::handleEscape);
    connect(&mainScreen, &MainScreen::hideLauncherRequested, m_delegate.get(),
            &AppDelegate::hideLauncher);
    if (m_channel) {
        connect(m_channel.get(), &InstanceChannel::messageReceived, this,
                [this](const QByteArray& message) {
                    if (message == InstanceChannel::toggleMessage)
                        m_delegate->toggleWindow();
                    else if (message == InstanceChannel::reopenMessage)
                        m_delegate->reopen();
                });
    }
    // A background start has loaded the catalogue and the picture all the
    // same (the scene began that), so the first F4 finds them ready.
    if (!m_options.background)
        m_delegate->showLauncher();
    return QGuiApplication::exec();
}

int QuorlinApp::runScreenshot() {
    m_scene = std::make_unique<LauncherScene>(AppSettings::shared(), m_options.roots);
    if (!m_scene->isReady())
        return 1;
    QQuickView& view = m_scene->view();
    AppDiscovery& discovery = m_scene->discovery();
    DesktopBackground& background = m_scene->background();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenGeometry = screen != nullptr ? screen->geometry() : QRect();
    const QRect frame = screen != nullptr ? launcherFrame(*screen) : view.geometry();
    view.setGeometry(frame);
    // A window that is never shown gets no resize event to size its scene from.
    view.rootObject()->setSize(frame.size());
    background.setViewSize(frame.size());

    QEventLoop waiting;
    auto quitWhenReady = [&] {
        if (!discovery.isLoading() && !background.isLoading())
            waiting.quit();
    };
    connect(&discovery, &AppDiscovery::scanFinished, &waiting, quitWhenReady);
    connect(&background, &DesktopBackground::loadFinished, &waiting, quitWhenReady);
    QTimer::singleShot(screenshotTimeoutMs, &waiting, &QEventLoop::quit);
    if (discovery.isLoading() || background.isLoading())
        waiting.exec();
    runEventsFor(screenshotSettleMs);

    // The window is never shown: it renders off screen, so taking a screenshot
    // does not flash the launcher over the user's desktop. Icons are decoded as
    // the grid first shows them, so the picture waits for them.
    const QImage window = grabWhenImagesLoaded(view, screenshotTimeoutMs);
    if (window.isNull()) {
        printError(QStringLiteral("Could not render the launcher"));
        return 1;
    }
    const QImage shot = composeScreenshot(window, frame, screenGeometry);
    if (!shot.save(m_options.screenshotPath, "PNG")) {
        printError(QStringLiteral("Could not write %1").arg(m_options.screenshotPath));
        return 1;
    }
    return 0;
}
