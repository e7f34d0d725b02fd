#include "CornerGradient.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

CornerGradient::CornerGradient(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    fitTexture();
}

void CornerGradient::setStartColor(const QColor& color) {
    if (color == m_start)
        return;
    m_start = color;
    fitTexture();
    Q_EMIT colorsChanged();
    update();
}

void CornerGradient::setEndColor(const QColor& color) {
    if (color == m_end)
        return;
    m_end = color;
    fitTexture();
    Q_EMIT colorsChanged();
    update();
}

void CornerGradient::setRadius(qreal radius) {
    if (radius == m_radius)
        return;
    m_radius = radius;
    fitTexture();
    Q_EMIT radiusChanged();
    update();
}

void CornerGradient::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    fitTexture();
}

void CornerGradient::fitTexture() {
    // A gradient this smooth looks the same painted at an eighth of its size
    // and stretched: a full-screen one then costs a fraction of the time and
    // the memory to paint, on the launcher's first frame. Round corners would
    // come out jagged, so they get every pixel.
    const qreal shrink = m_radius > 0 ? 1 : 8;
    setTextureSize(QSize(std::max(1, int(std::ceil(width() / shrink))),
                         std::max(1, int(std::ceil(height() / shrink)))));
    setOpaquePainting(m_radius <= 0 && m_start.alpha() == 255 && m_end.alpha() == 255);
}

void CornerGradient::paint(QPainter* painter) {
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0, m_start);
    gradient.setColorAt(1, m_end);
    if (m_radius <= 0) {
        painter->fillRect(QRectF(0, 0, width(), height()), gradient);
        return;
    }
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawRoundedRect(QRectF(0, 0, width(), height()), m_radius, m_radius);
}
