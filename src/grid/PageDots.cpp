#include "PageDots.h"

#include "ImageFormat.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The current dot is drawn this much larger, its shadow with it.
constexpr qreal currentScale = 1.4;
// A finger-sized target reaches this far around the small dot.
constexpr qreal reach = 5;

QImage dotShadow() {
    QImageReader reader(QStringLiteral(":/Quorlin/grid/icons/dot-shadow.png"));
    readAsFormat(reader, "png");
    return reader.read();
}

} // namespace

PageDots::PageDots(QQuickItem* parent)
    : QQuickPaintedItem(parent)
    , m_shadow(dotShadow()) {
    setAntialiasing(true);
    setImplicitHeight(dotSize() + 2 * margin());
    setImplicitWidth(2 * margin());
    QAccessible::installActivationObserver(this);
}

PageDots::~PageDots() {
    QAccessible::removeActivationObserver(this);
}

void PageDots::accessibilityActiveChanged(bool active) {
    if (active == m_forScreenReaders)
        return;
    m_forScreenReaders = active;
    Q_EMIT forScreenReadersChanged();
}

void PageDots::setCount(int count) {
    count = std::max(0, count);
    if (count == m_count)
        return;
    m_count = count;
    setImplicitWidth(rowWidth() + 2 * margin());
    Q_EMIT countChanged();
    update();
}

void PageDots::setCurrent(int current) {
    if (current == m_current)
        return;
    m_current = current;
    Q_EMIT currentChanged();
    update();
}

qreal PageDots::rowWidth() const {
    return m_count == 0 ? 0 : m_count * dotSize() + (m_count - 1) * spacing();
}

int PageDots::dotAt(QPointF point) const {
    const qreal pitch = dotSize() + spacing();
    const qreal x = point.x() - margin() + spacing() / 2;
    const int dot = int(std::floor(x / pitch));
    const bool level = std::abs(point.y() - margin() - dotSize() / 2) <= dotSize() / 2 + reach;
    return level && x >= 0 && dot < m_count ? dot : -1;
}

void PageDots::paint(QPainter* painter) {
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setPen(Qt::NoPen);
    const qreal centreY = margin() + dotSize() / 2;
    for (int i = 0; i < m_count; ++i) {
        const QPointF centre(margin() + i * (dotSize() + spacing()) + dotSize() / 2, centreY);
        const qreal scale = i == m_current ? currentScale : 1;
        const QSizeF shadow = QSizeF(m_shadow.size()) * scale;
        painter->drawImage(QRectF(centre - QPointF(shadow.width(), shadow.height()) / 2, shadow),
                           m_shadow);
        const qreal radius = dotSize() * scale / 2;
        painter->setBrush(QColor::fromRgbF(1, 1, 1, i == m_current ? 1.0f : 0.5f));
        painter->drawEllipse(centre, radius, radius);
    }
}
