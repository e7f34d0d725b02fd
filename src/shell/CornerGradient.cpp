#include "CornerGradient.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

CornerGradient::CornerGradient(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setOpaquePainting(true);
}

void CornerGradient::setStartColor(const QColor& color) {
    if (color == m_start)
        return;
    m_start = color;
    Q_EMIT colorsChanged();
    update();
}

void CornerGradient::setEndColor(const QColor& color) {
    if (color == m_end)
        return;
    m_end = color;
    Q_EMIT colorsChanged();
    update();
}

void CornerGradient::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickPaintedItem::geometryChange(newGeometry, oldGeometry);
    // A gradient this smooth looks the same painted at an eighth of its size
    // and stretched: a full-screen one then costs a fraction of the time and
    // the memory to paint, on the launcher's first frame.
    setTextureSize(QSize(std::max(1, int(std::ceil(newGeometry.width() / 8))),
                         std::max(1, int(std::ceil(newGeometry.height() / 8)))));
}

void CornerGradient::paint(QPainter* painter) {
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0, m_start);
    gradient.setColorAt(1, m_end);
    painter->fillRect(QRectF(0, 0, width(), height()), gradient);
}
