#include "GlassCapsule.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

QColor white(qreal alpha) {
    QColor color(Qt::white);
    color.setAlphaF(float(alpha));
    return color;
}

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    // A radius beyond half the short side makes a capsule, never a blob.
    const qreal r = std::min({radius, rect.width() / 2, rect.height() / 2});
    QPainterPath path;
    path.addRoundedRect(rect, r, r);
    return path;
}

} // namespace

GlassCapsule::GlassCapsule(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
}

void GlassCapsule::setRadius(qreal radius) {
    if (qFuzzyCompare(radius, m_radius))
        return;
    m_radius = radius;
    Q_EMIT radiusChanged();
    update();
}

void GlassCapsule::paint(QPainter* painter) {
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(0, 0, width(), height());

    QLinearGradient fill(bounds.topLeft(), bounds.bottomRight());
    fill.setColorAt(0, white(0.18));
    fill.setColorAt(1, white(0.08));
    painter->fillPath(roundedRect(bounds, m_radius), fill);

    // The border lies inside the edge: a half-width stroke centred a quarter in.
    constexpr qreal borderWidth = 0.5;
    QLinearGradient border(bounds.topLeft(), bounds.bottomLeft());
    border.setColorAt(0, white(0.3));
    border.setColorAt(1, white(0.1));
    QPen pen(QBrush(border), borderWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter->strokePath(roundedRect(bounds.adjusted(borderWidth / 2, borderWidth / 2,
                                                    -borderWidth / 2, -borderWidth / 2),
                                    m_radius - borderWidth / 2),
                        pen);

    // The haze: white 0.05 softened by a 2-point blur, drawn as a few nested
    // shapes whose edges fade outwards.
    constexpr int layers = 4;
    constexpr qreal blur = 2;
    const qreal layerAlpha = 1 - std::pow(1 - 0.05, 1.0 / layers);
    for (int i = 0; i < layers; ++i) {
        const qreal spread = blur * ((i + 0.5) / layers - 0.5);
        painter->fillPath(
            roundedRect(bounds.adjusted(-spread, -spread, spread, spread), m_radius + spread),
            white(layerAlpha));
    }
}
