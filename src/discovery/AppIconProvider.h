#pragma once

#include <QQuickImageProvider>

class AppDiscovery;

// Serves "image://appicon/<UUID text>" from the catalogue's icons, at the size
// asked for (the icon's own 128 pixels otherwise). Unknown ids get the generic
// application icon. Register it with the engine under appIconProviderId.
class AppIconProvider : public QQuickImageProvider {
public:
    explicit AppIconProvider(const AppDiscovery& discovery);

    [[nodiscard]] QImage requestImage(const QString& id, QSize* size,
                                      const QSize& requestedSize) override;

private:
    const AppDiscovery& m_discovery;
};
