#include "AppDelegate.h"

#include "GlobalHotkey.h"
#include "LauncherFrame.h"
#include "LauncherKeyFilter.h"
#include "ToggleRule.h"
#include "X11WindowHints.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QScreen>
#include <QTimer>

AppDelegate::AppDelegate(GlobalHotkey& hotkey, QObject* parent)
    : QObject(parent)
    , m_hotkey(hotkey) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::setupWindow(QQuickWindow* window, QQuickItem* mainContent) {
    if (window == nullptr) {
        setupKeyMonitors();
        return;
    }
    m_window = window;
    window->setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool);
    window->setColor(Qt::black);
    window->setTitle(QStringLiteral("Quorlin"));
    fitToPrimaryScreen();
    followPrimaryScreen();
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this] {
        followPrimaryScreen();
        if (m_window != nullptr && m_window->isVisible())
            fitToPrimaryScreen();
    });

    m_keys = new LauncherKeyFilter(*window, this);
    m_keys->setMainContent(mainContent);
    connect(m_keys, &LauncherKeyFilter::togglePressed, this, &AppDelegate::toggleWindow);
    connect(m_keys, &LauncherKeyFilter::escapePressed, this, &AppDelegate::escapePressed);
    setupKeyMonitors();
}

void AppDelegate::setNavigator(std::function<bool(int key)> navigator) {
    if (m_keys != nullptr)
        m_keys->setNavigator(std::move(navigator));
}

void AppDelegate::setupKeyMonitors() {
    if (m_hotkeyInstalled)
        return;
    connect(&m_hotkey, &GlobalHotkey::activated, this, &AppDelegate::toggleWindow);
    m_hotkeyInstalled = m_hotkey.start();
}

void AppDelegate::toggleWindow() {
    // Deferred, so a key handled inside an event delivery never hides the window
    // that is delivering it.
    QTimer::singleShot(0, this, &AppDelegate::applyToggle);
}

void AppDelegate::applyToggle() {
    if (m_window == nullptr)
        return;
    const bool active = X11WindowHints::hasInputFocus(*m_window).value_or(
        QGuiApplication::applicationState() == Qt::ApplicationActive);
    if (toggleAction(m_window->isVisible(), active) == ToggleAction::Hide)
        hideLauncher();
    else
        showLauncher();
}

void AppDelegate::reopen() {
    if (m_window == nullptr || m_window->isVisible())
        return;
    showLauncher();
}

void AppDelegate::showLauncher() {
    if (m_window == nullptr)
        return;
    const bool wasVisible = m_window->isVisible();
    if (!wasVisible) {
        // The screen may have changed while the launcher was hidden.
        fitToPrimaryScreen();
        X11WindowHints::applyBeforeShow(*m_window);
        // A Wayland client cannot place its window or keep it above others; a
        // full-screen surface on the primary output is how it covers the desktop.
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            m_window->showFullScreen();
        else
            m_window->show();
        X11WindowHints::applyAfterShow(*m_window);
    }
    // Platforms without a window stack (off-screen rendering) warn on raise().
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        m_window->raise();
    m_window->requestActivate();
    if (wasVisible)
        X11WindowHints::activate(*m_window);
}

void AppDelegate::hideLauncher() {
    if (m_window != nullptr)
        m_window->hide();
}

void AppDelegate::fitToPrimaryScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || m_window == nullptr)
        return;
    m_window->setScreen(screen);
    m_window->setGeometry(launcherFrame(*screen));
}

void AppDelegate::followPrimaryScreen() {
    delete m_screenWatch;
    m_screenWatch = new QObject(this);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const auto refit = [this] {
        if (m_window != nullptr && m_window->isVisible())
            fitToPrimaryScreen();
    };
    connect(screen, &QScreen::geometryChanged, m_screenWatch, refit);
    connect(screen, &QScreen::availableGeometryChanged, m_screenWatch, refit);
}
