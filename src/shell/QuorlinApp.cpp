#include "QuorlinApp.h"

#include "AppDelegate.h"
#include "AppDiscovery.h"
#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "AppSettings.h"
#include "CatalogueRoots.h"
#include "DesktopBackground.h"
#include "DesktopBackgroundProvider.h"
#include "FreedesktopFileRevealer.h"
#include "FreedesktopTrash.h"
#include "GioAppLauncher.h"
#include "InstanceChannel.h"
#include "LauncherFrame.h"
#include "LinuxDesktopPictureSource.h"
#include "MainScreen.h"
#include "ScreenshotComposer.h"
#include "SystemGlobalHotkey.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QQmlEngine>
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

bool QuorlinApp::buildUi() {
    m_trash = std::make_unique<FreedesktopTrash>();
    m_launcher = std::make_unique<GioAppLauncher>();
    m_revealer = std::make_unique<FreedesktopFileRevealer>();
    m_pictureSource = std::make_unique<LinuxDesktopPictureSource>();
    m_hotkey = std::make_unique<SystemGlobalHotkey>();
    AppSettings& settings = AppSettings::shared();
    m_discovery = std::make_unique<AppDiscovery>(settings, m_options.roots, *m_trash);
    m_background = std::make_unique<DesktopBackground>(*m_pictureSource);
    m_mainScreen = std::make_unique<MainScreen>(settings, *m_discovery, *m_launcher, *m_revealer,
                                                *m_background);

    m_engine = std::make_unique<QQmlEngine>();
    m_engine->addImportPath(QStringLiteral("qrc:/"));
    m_engine->addImageProvider(QString(appIconProviderId), new AppIconProvider(*m_discovery));
    m_engine->addImageProvider(DesktopBackgroundProvider::providerId,
                               m_background->createImageProvider());

    m_view = std::make_unique<QQuickView>(m_engine.get(), nullptr);
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    m_view->setInitialProperties(
        {{QStringLiteral("mainScreen"), QVariant::fromValue(m_mainScreen.get())}});
    m_view->setSource(QUrl(QStringLiteral("qrc:/Quorlin/shell/ContentView.qml")));
    if (m_view->status() != QQuickView::Ready || m_view->rootObject() == nullptr) {
        const QList<QQmlError> errors = m_view->errors();
        for (const QQmlError& error : errors)
            printError(error.toString());
        return false;
    }

    m_view->setColor(Qt::black);
    return true;
}

int QuorlinApp::runLauncher() {
    const QString name = InstanceChannel::sessionName();
    const QByteArray request =
        m_options.toggle ? InstanceChannel::toggleMessage : InstanceChannel::reopenMessage;
    if (InstanceChannel::send(name, request))
        return 0;
    m_channel = std::make_unique<InstanceChannel>(name);
    // Two starts at the same moment: the one that lost the race hands over.
    if (!m_channel->listen() && InstanceChannel::send(name, request))
        return 0;

    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (!buildUi())
        return 1;
    m_delegate = std::make_unique<AppDelegate>(*m_hotkey);
    m_delegate->setupWindow(m_view.get(), m_view->rootObject());
    m_background->setViewSize(m_view->size());
    connect(m_delegate.get(), &AppDelegate::escapePressed, m_mainScreen.get(),
            &MainScreen::handleEscape);
    connect(m_mainScreen.get(), &MainScreen::hideLauncherRequested, m_delegate.get(),
            &AppDelegate::hideLauncher);
    connect(m_channel.get(), &InstanceChannel::messageReceived, this,
            [this](const QByteArray& message) {
                if (message == InstanceChannel::toggleMessage)
                    m_delegate->toggleWindow();
                else if (message == InstanceChannel::reopenMessage)
                    m_delegate->reopen();
            });
    m_delegate->showLauncher();
    m_mainScreen->appear();
    return QGuiApplication::exec();
}

int QuorlinApp::runScreenshot() {
    if (!buildUi())
        return 1;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenGeometry = screen != nullptr ? screen->geometry() : QRect();
    if (screen != nullptr)
        m_view->setGeometry(launcherFrame(screenGeometry));
    // A window that is never shown gets no resize event to size its scene from.
    m_view->rootObject()->setSize(m_view->size());
    m_background->setViewSize(m_view->size());

    QEventLoop waiting;
    auto quitWhenReady = [this, &waiting] {
        if (!m_discovery->isLoading() && !m_background->isLoading())
            waiting.quit();
    };
    connect(m_discovery.get(), &AppDiscovery::scanFinished, &waiting, quitWhenReady);
    connect(m_background.get(), &DesktopBackground::loadFinished, &waiting, quitWhenReady);
    QTimer::singleShot(screenshotTimeoutMs, &waiting, &QEventLoop::quit);
    m_mainScreen->appear();
    if (m_discovery->isLoading() || m_background->isLoading())
        waiting.exec();
    runEventsFor(screenshotSettleMs);

    // The window is never shown: it renders off screen, so taking a screenshot
    // does not flash the launcher over the user's desktop.
    const QImage window = m_view->grabWindow();
    if (window.isNull()) {
        printError(QStringLiteral("Could not render the launcher"));
        return 1;
    }
    // The frame asked for, not the one the platform reports: an off-screen
    // platform may shift windows by decoration margins that a desktop would not.
    const QImage shot = composeScreenshot(window, launcherFrame(screenGeometry), screenGeometry);
    if (!shot.save(m_options.screenshotPath, "PNG")) {
        printError(QStringLiteral("Could not write %1").arg(m_options.screenshotPath));
        return 1;
    }
    return 0;
}
