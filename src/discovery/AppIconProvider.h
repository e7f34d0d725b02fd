#pragma once

#include <QQuickImageProvider>

class AppDiscovery;

// Serves "image://appicon/<UUID text>" from the catalogue's icons, at the size
// asked for (appIconPixels otherwise). Views ask for icons only while they show
// them, so each is decoded when first seen, on the engine's loader thread and
// never the GUI thread (Image elements load it asynchronously). A query
// "corner=<fraction>" clips the corners to that radius, as a fraction of the
// side: the software renderer runs no shaders to round them on screen. Unknown
// ids get the generic application icon. Register it under appIconProviderId.
class AppIconProvider : public QQuickImageProvider {
public:
    explicit AppIconProvider(const AppDiscovery& discovery);
    // Without a catalogue (views shown on their own) every icon is the generic one.
    AppIconProvider();

    [[nodiscard]] QImage requestImage(const QString& id, QSize* size,
                                      const QSize& requestedSize) override;

private:
    const AppDiscovery* m_discovery = nullptr;
};
