#pragma once

#include "LaunchOptions.h"

#include <QObject>

#include <memory>

class AppDelegate;
class InstanceChannel;
class LauncherScene;
class SystemGlobalHotkey;

// The launcher program: the scene with its one window, the delegate that shows
// and hides it, and the line to later starts of the program. Needs a
// QGuiApplication.
class QuorlinApp final : public QObject {
    Q_OBJECT

public:
    explicit QuorlinApp(LaunchOptions options, QObject* parent = nullptr);
    ~QuorlinApp() override;

    // Runs as the options say; returns the process's exit code.
    [[nodiscard]] int exec();

private:
    [[nodiscard]] int runLauncher();
    [[nodiscard]] int runScreenshot();

    LaunchOptions m_options;
    // Declared before the delegate, which refers to the scene's window.
    std::unique_ptr<LauncherScene> m_scene;
    std::unique_ptr<SystemGlobalHotkey> m_hotkey;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<InstanceChannel> m_channel;
};
