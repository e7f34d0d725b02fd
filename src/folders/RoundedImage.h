#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// An image clipped to a rounded rectangle. The software renderer runs no
// shader effects, so QML cannot mask an Image with rounded corners; painting
// through a clip path works on every renderer. Sources are local files, qrc
// resources, or "image://" URLs served by a synchronous image provider.
class RoundedImage : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)
    // Fit inside the item keeping the aspect ratio (true), or fill it exactly.
    Q_PROPERTY(bool preserveAspectFit READ preserveAspectFit WRITE setPreserveAspectFit NOTIFY
                   preserveAspectFitChanged)
    Q_PROPERTY(bool loaded READ isLoaded NOTIFY loadedChanged)

public:
    explicit RoundedImage(QQuickItem* parent = nullptr);

    [[nodiscard]] const QUrl& source() const { return m_source; }
    void setSource(const QUrl& source);
    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);
    [[nodiscard]] bool preserveAspectFit() const { return m_preserveAspectFit; }
    void setPreserveAspectFit(bool preserve);
    [[nodiscard]] bool isLoaded() const { return !m_image.isNull(); }

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void sourceChanged();
    void radiusChanged();
    void preserveAspectFitChanged();
    void loadedChanged();

protected:
    void componentComplete() override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

private:
    void reload();
    [[nodiscard]] QImage load(const QSize& requestedSize) const;

    QUrl m_source;
    qreal m_radius = 0;
    bool m_preserveAspectFit = true;
    QImage m_image;
    // The pixel size the image was asked for; a larger item asks again.
    QSize m_loadedSize;
};
