#include "FrostedGlass.h"

#include "BackgroundImageStore.h"
#include "DesktopBackgroundProvider.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QQmlEngine>
#include <QQuickWindow>

#include <algorithm>

namespace {

// The main screen's gradient while there is no picture, as DesktopBackgroundView
// draws it over the whole window. The picture comes veiled as the screen shows it.
const QColor fallbackStart = QColor::fromRgbF(0.1f, 0.15f, 0.25f);
const QColor fallbackEnd = QColor::fromRgbF(0.15f, 0.1f, 0.3f);

} // namespace

FrostedGlass::FrostedGlass(QQuickItem* parent)
    : QQuickPaintedItem(parent) {
    setAntialiasing(true);
    connect(this, &FrostedGlass::lookChanged, this, [this] { update(); });
    followAncestors();
}

void FrostedGlass::componentComplete() {
    QQuickPaintedItem::componentComplete();
    QQmlEngine* engine = qmlEngine(this);
    const auto* provider = engine == nullptr
                               ? nullptr
                               : dynamic_cast<const DesktopBackgroundProvider*>(
                                     engine->imageProvider(DesktopBackgroundProvider::providerId));
    if (provider == nullptr)
        return;
    m_store = provider->store();
    connect(m_store.get(), &BackgroundImageStore::changed, this, [this] { update(); });
}

void FrostedGlass::followAncestors() {
    for (const QMetaObject::Connection& connection : std::as_const(m_followed))
        disconnect(connection);
    m_followed.clear();
    const auto repaint = [this] { update(); };
    for (QQuickItem* item = this; item != nullptr; item = item->parentItem()) {
        m_followed << connect(item, &QQuickItem::xChanged, this, repaint)
                   << connect(item, &QQuickItem::yChanged, this, repaint)
                   << connect(item, &QQuickItem::widthChanged, this, repaint)
                   << connect(item, &QQuickItem::heightChanged, this, repaint)
                   << connect(item, &QQuickItem::parentChanged, this,
                              &FrostedGlass::followAncestors);
    }
}

QPainterPath FrostedGlass::outline(qreal inset) const {
    const qreal top = std::clamp(m_arrowSize, qreal(0), height());
    const QRectF body =
        QRectF(0, top, width(), height() - top).adjusted(inset, inset, -inset, -inset);
    const qreal radius =
        std::max(0.0, std::min({m_radius - inset, body.width() / 2, body.height() / 2}));
    QPainterPath path;
    path.addRoundedRect(body, radius, radius);
    if (top <= 0)
        return path;
    // A right-angled pointer whose base sinks a point into the body, so the two
    // join without a seam.
    const qreal middle = width() / 2;
    const qreal tip = top * 0.3 + inset;
    const qreal half = top + 1 - tip;
    QPainterPath pointer(QPointF(middle - half, top + 1));
    pointer.lineTo(middle, tip);
    pointer.lineTo(middle + half, top + 1);
    pointer.closeSubpath();
    return path.united(pointer);
}

void FrostedGlass::paint(QPainter* painter) {
    const QPainterPath shape = outline(0);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    // Where the window's content, and so the background filling it, lies in
    // this item's coordinates.
    const QQuickItem* scene = window() != nullptr ? window()->contentItem() : nullptr;
    const QSizeF sceneSize = scene != nullptr ? scene->size() : size();
    const QPointF origin = mapFromScene(QPointF(0, 0));
    const QImage picture = m_store ? m_store->get() : QImage();
    if (!picture.isNull()) {
        // Scaled to cover the window, centred, as the background's image is.
        const qreal scale =
            std::max(sceneSize.width() / picture.width(), sceneSize.height() / picture.height());
        QBrush brush(picture);
        brush.setTransform(QTransform::fromTranslate(
                               origin.x() + (sceneSize.width() - picture.width() * scale) / 2,
                               origin.y() + (sceneSize.height() - picture.height() * scale) / 2)
                               .scale(scale, scale));
        painter->fillPath(shape, brush);
    } else {
        QLinearGradient gradient(origin, origin + QPointF(sceneSize.width(), sceneSize.height()));
        gradient.setColorAt(0, fallbackStart);
        gradient.setColorAt(1, fallbackEnd);
        painter->fillPath(shape, gradient);
    }
    painter->fillPath(shape, m_tint);
    // A hairline inside the edge, as a Rectangle's border lies.
    painter->strokePath(outline(0.5), QPen(m_borderColor, 1));
}
