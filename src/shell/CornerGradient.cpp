#include "CornerGradient.h"

#include <QLinearGradient>
#include <QPainter>

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

void CornerGradient::paint(QPainter* painter) {
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0, m_start);
    gradient.setColorAt(1, m_end);
    painter->fillRect(QRectF(0, 0, width(), height()), gradient);
}
