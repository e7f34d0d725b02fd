#pragma once

#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// The frosted-glass plate behind the search field: a rounded rectangle filled
// with a diagonal white gradient, a hairline inner border that fades from top to
// bottom, and a faint soft white haze. Painted, because the software renderer has
// neither gradient strokes nor blur.
class GlassCapsule : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)

public:
    explicit GlassCapsule(QQuickItem* parent = nullptr);

    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void radiusChanged();

private:
    qreal m_radius = 20;
};
