#pragma once

#include "CatalogueRoots.h"

#include <QMetaObject>

#include <memory>

class AppDiscovery;
class AppSettings;
class CatalogueWatch;
class DesktopBackground;
class FreedesktopFileRevealer;
class FreedesktopTrash;
class GioAppLauncher;
class LinuxDesktopPictureSource;
class MainScreen;
class QQmlEngine;
class QQuickView;

// Everything the launcher shows, built and wired but not yet on screen: the
// desktop's services, the catalogue, the main screen and its one window. The
// catalogue and the desktop picture start loading as it is built. The
// program, its screenshots and the benchmarks all start from here.
class LauncherScene final {
public:
    // `settings` must outlive the scene. Check isReady() before use.
    LauncherScene(AppSettings& settings, const CatalogueRoots& roots);
    ~LauncherScene();
    LauncherScene(const LauncherScene&) = delete;
    LauncherScene& operator=(const LauncherScene&) = delete;

    // False, with the errors printed, when the screen's QML did not build.
    [[nodiscard]] bool isReady() const;

    [[nodiscard]] QQuickView& view() const { return *m_view; }
    [[nodiscard]] MainScreen& mainScreen() const { return *m_mainScreen; }
    [[nodiscard]] AppDiscovery& discovery() const { return *m_discovery; }
    [[nodiscard]] DesktopBackground& background() const { return *m_background; }

private:
    std::unique_ptr<FreedesktopTrash> m_trash;
    std::unique_ptr<GioAppLauncher> m_launcher;
    std::unique_ptr<FreedesktopFileRevealer> m_revealer;
    std::unique_ptr<LinuxDesktopPictureSource> m_pictureSource;
    std::unique_ptr<AppDiscovery> m_discovery;
    // Applications installed or removed while the launcher runs show at once.
    std::unique_ptr<CatalogueWatch> m_catalogueWatch;
    std::unique_ptr<DesktopBackground> m_background;
    std::unique_ptr<MainScreen> m_mainScreen;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QQuickView> m_view;
    // Holds the scan that checks a cached catalogue until its first page is drawn.
    QMetaObject::Connection m_checkingScanGate;
};
