#pragma once

#include "LaunchOptions.h"

#include <QObject>

#include <memory>

class AppDelegate;
class AppDiscovery;
class DesktopBackground;
class FreedesktopFileRevealer;
class FreedesktopTrash;
class GioAppLauncher;
class InstanceChannel;
class LinuxDesktopPictureSource;
class MainScreen;
class QQmlEngine;
class QQuickView;
class SystemGlobalHotkey;

// The launcher program: owns the platform services, the catalogue, the main
// screen, the one window and the delegate that shows and hides it. Needs a
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
    [[nodiscard]] bool buildUi();

    LaunchOptions m_options;
    std::unique_ptr<FreedesktopTrash> m_trash;
    std::unique_ptr<GioAppLauncher> m_launcher;
    std::unique_ptr<FreedesktopFileRevealer> m_revealer;
    std::unique_ptr<LinuxDesktopPictureSource> m_pictureSource;
    std::unique_ptr<SystemGlobalHotkey> m_hotkey;
    std::unique_ptr<AppDiscovery> m_discovery;
    std::unique_ptr<DesktopBackground> m_background;
    std::unique_ptr<MainScreen> m_mainScreen;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickView> m_view;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<InstanceChannel> m_channel;
};
