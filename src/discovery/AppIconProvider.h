#pragma once

#include <QQuickAsyncImageProvider>
#include <QThreadPool>

class AppDiscovery;

// Serves "image://appicon/<UUID text>" from the catalogue's icons, at the size
// asked for (appIconPixels otherwise). Views ask for icons only while they show
// them, so each is decoded when first seen, on a pool of threads as wide as the
// machine and never on the GUI thread: a page's icons arrive together rather
// than one by one. A query "corner=<fraction>" clips the corners to that
// radius, as a fraction of the side: the software renderer runs no shaders to
// round them on screen. Unknown ids get the generic application icon. Register
// it under appIconProviderId.
class AppIconProvider : public QQuickAsyncImageProvider {
public:
    explicit AppIconProvider(const AppDiscovery& discovery);
    // Without a catalogue (views shown on their own) every icon is the generic one.
    AppIconProvider();

    // The picture itself, made on the calling thread.
    [[nodiscard]] QImage requestImage(const QString& id, QSize* size,
                                      const QSize& requestedSize) override;
    [[nodiscard]] QQuickImageResponse* requestImageResponse(const QString& id,
                                                            const QSize& requestedSize) override;

private:
    const AppDiscovery* m_discovery = nullptr;
    // Its destruction waits for the icons on their way.
    QThreadPool m_pool;
};
