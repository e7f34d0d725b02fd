#pragma once

#include <QObject>
#include <QPointer>
#include <QQuickWindow>

#include <functional>

class GlobalHotkey;
class LauncherKeyFilter;

// Owns the launcher window's behaviour as a desktop citizen: its styling and
// frame, the launcher key from anywhere (global hotkey, the toggle command) and
// inside the window, and showing and hiding. The window is made once and from
// then on only shown and hidden.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(GlobalHotkey& hotkey, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Styles `window` as the launcher and installs the keys. Without a window the
    // global key is still installed, and toggling does nothing.
    void setupWindow(QQuickWindow* window, QQuickItem* mainContent = nullptr);
    // The main screen's keys for its grid; see LauncherKeyFilter::setNavigator.
    void setNavigator(std::function<bool(int key)> navigator);

    // The launcher key: hides a launcher the user is looking at, otherwise brings
    // it to the front with the focus. Runs from the event loop, not in the caller.
    void toggleWindow();
    // The program started again while running: a hidden launcher comes back, a
    // shown one stays as it is.
    void reopen();
    void showLauncher();
    void hideLauncher();

    [[nodiscard]] QQuickWindow* window() const { return m_window; }
    [[nodiscard]] bool hasGlobalHotkey() const { return m_hotkeyInstalled; }

Q_SIGNALS:
    // Escape pressed while the main screen has the focus.
    void escapePressed();

private:
    void setupKeyMonitors();
    void applyToggle();
    // Fits the window to the primary screen, and again whenever that screen or
    // its free area changes while the window is shown.
    void followPrimaryScreen();
    void fitToPrimaryScreen();

    GlobalHotkey& m_hotkey;
    QPointer<QQuickWindow> m_window;
    LauncherKeyFilter* m_keys = nullptr;
    // Owns the connections to the primary screen being followed.
    QObject* m_screenWatch = nullptr;
    bool m_hotkeyInstalled = false;
};
