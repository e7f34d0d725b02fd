#pragma once

#include <QColor>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// A linear gradient from the top-left corner to the bottom-right corner. QtQuick's
// Rectangle only runs gradients along an axis, and Shapes is not available.
class CornerGradient : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor startColor READ startColor WRITE setStartColor NOTIFY colorsChanged)
    Q_PROPERTY(QColor endColor READ endColor WRITE setEndColor NOTIFY colorsChanged)

public:
    explicit CornerGradient(QQuickItem* parent = nullptr);

    [[nodiscard]] QColor startColor() const { return m_start; }
    void setStartColor(const QColor& color);
    [[nodiscard]] QColor endColor() const { return m_end; }
    void setEndColor(const QColor& color);

    void paint(QPainter* painter) override;

protected:
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;

Q_SIGNALS:
    void colorsChanged();

private:
    QColor m_start;
    QColor m_end;
};
