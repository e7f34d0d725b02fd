#include "LauncherScene.h"

#include "AppDiscovery.h"
#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "CatalogueCache.h"
#include "CatalogueWatch.h"
#include "DesktopBackground.h"
#include "DesktopBackgroundProvider.h"
#include "FreedesktopFileRevealer.h"
#include "FreedesktopTrash.h"
#include "GioAppLauncher.h"
#include "LinuxDesktopPictureSource.h"
#include "MainScreen.h"
#include "ScreenshotComposer.h"
#include "SymbolImageProvider.h"
#include "TypedTextFirst.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>

#include <cstdio>

LauncherScene::LauncherScene(AppSettings& settings, const CatalogueRoots& roots)
    : m_trash(std::make_unique<FreedesktopTrash>())
    , m_launcher(std::make_unique<GioAppLauncher>())
    , m_revealer(std::make_unique<FreedesktopFileRevealer>())
    , m_pictureSource(std::make_unique<LinuxDesktopPictureSource>())
    , m_discovery(std::make_unique<AppDiscovery>(settings, roots, *m_trash))
    , m_catalogueWatch(std::make_unique<CatalogueWatch>(*m_discovery))
    , m_background(std::make_unique<DesktopBackground>(*m_pictureSource))
    , m_mainScreen(std::make_unique<MainScreen>(settings, *m_discovery, *m_launcher, *m_revealer,
                                                *m_background))
    , m_engine(std::make_unique<QQmlEngine>()) {
    m_discovery->setCacheFile(CatalogueCache::defaultFile());
    // The catalogue's scan and the picture load on other threads while the
    // scene below compiles, so the first frames find them (nearly) ready.
    m_mainScreen->appear();
    m_engine->addImportPath(QStringLiteral("qrc:/"));
    m_engine->addImageProvider(QString(appIconProviderId), new AppIconProvider(*m_discovery));
    m_engine->addImageProvider(DesktopBackgroundProvider::providerId,
                               m_background->createImageProvider());
    m_engine->addImageProvider(SymbolImageProvider::providerId, new SymbolImageProvider);

    m_view = std::make_unique<QQuickView>(m_engine.get(), nullptr);
    m_view->setColor(Qt::black);
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    m_view->setInitialProperties(
        {{QStringLiteral("mainScreen"), QVariant::fromValue(m_mainScreen.get())}});
    // The scan that checks a cached catalogue waits until that catalogue has
    // been drawn with its icons: it would take the cores their decoding needs.
    QObject::connect(m_discovery.get(), &AppDiscovery::cachedCatalogueShown, m_view.get(), [this] {
        m_checkingScanGate =
            QObject::connect(m_view.get(), &QQuickWindow::frameSwapped, m_discovery.get(), [this] {
                // Once the delay has started the scan, the pictures no longer matter.
                if (m_discovery->isScanHeld() && anyImageLoading(m_view->contentItem()))
                    return;
                QObject::disconnect(m_checkingScanGate);
                m_discovery->startCheckingScan();
            });
    });
    drawTypedTextFirst(*m_mainScreen, *m_view);
    m_view->setSource(QUrl(QStringLiteral("qrc:/Quorlin/shell/ContentView.qml")));
    if (!isReady()) {
        const QList<QQmlError> errors = m_view->errors();
        for (const QQmlError& error : errors)
            std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
    }
}

// The view goes before the engine and the objects its scene binds to.
LauncherScene::~LauncherScene() {
    m_view.reset();
    m_engine.reset();
}

bool LauncherScene::isReady() const {
    return m_view->status() == QQuickView::Ready && m_view->rootObject() != nullptr;
}
