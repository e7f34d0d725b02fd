#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// A linear gradient from the top-left corner to the bottom-right corner, in a
// rectangle whose corners may be rounded. QtQuick's Rectangle only runs
// gradients along an axis, Shapes is not available, and a Canvas paints a
// frame after it is first shown.
class CornerGradient : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor startColor READ startColor WRITE setStartColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor endColor READ endColor WRITE setEndColor NOTIFY colorsChanged)
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)

public:
    explicit CornerGradient(QQuickItem* parent = nullptr);

    [[nodiscard]] QColor startColor() const { return m_start; }
    void setStartColor(const QColor& color);
    [[nodiscard]] QColor endColor() const { return m_end; }
    void setEndColor(const QColor& color);
    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);

    void paint(QPainter* painter) override;

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

Q_SIGNALS:
    void colorsChanged();
    void radiusChanged();

private:
    void fitTexture();

    QColor m_start;
    QColor m_end;
    qreal m_radius = 0;
};
