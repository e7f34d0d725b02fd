#pragma once

#include <QAccessible>
#include <QImage>
#include <QPointF>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// The row of page dots, painted as one picture: thousands of applications make
// a hundred and more pages, and a dot of its own items each (shadow, circle,
// click area) made every frame that touched the row walk and clip them all.
// The dots lie `margin` in from the item's edges, which leaves room for the
// current dot's growth and for the shadows.
class PageDots : public QQuickPaintedItem, public QAccessible::ActivationObserver {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(int count READ count WRITE setCount NOTIFY countChanged)
    Q_PROPERTY(int current READ current WRITE setCurrent NOTIFY currentChanged)
    Q_PROPERTY(qreal rowWidth READ rowWidth NOTIFY countChanged)
    Q_PROPERTY(qreal margin READ margin CONSTANT)
    Q_PROPERTY(qreal dotSize READ dotSize CONSTANT)
    Q_PROPERTY(qreal spacing READ spacing CONSTANT)
    // Whether a screen reader or other assistive technology listens. Only then
    // does each dot get an item of its own to be found by: a search that
    // changes the page count by a hundred would otherwise make or take down a
    // hundred items on a keystroke, for no one.
    Q_PROPERTY(bool forScreenReaders READ forScreenReaders NOTIFY forScreenReadersChanged)

public:
    explicit PageDots(QQuickItem* parent = nullptr);
    ~PageDots() override;

    [[nodiscard]] int count() const { return m_count; }
    void setCount(int count);
    [[nodiscard]] int current() const { return m_current; }
    void setCurrent(int current);
    // The dots alone, from the left edge of the first to the right of the last.
    [[nodiscard]] qreal rowWidth() const;
    [[nodiscard]] static constexpr qreal margin() { return 8; }
    [[nodiscard]] static constexpr qreal dotSize() { return 7; }
    [[nodiscard]] static constexpr qreal spacing() { return 10; }

    // The dot whose finger-sized target (5 around the dot, so targets meet
    // halfway between dots) holds `point`, in this item's coordinates; -1 for none.
    [[nodiscard]] Q_INVOKABLE int dotAt(QPointF point) const;

    [[nodiscard]] bool forScreenReaders() const { return m_forScreenReaders; }
    void accessibilityActiveChanged(bool active) override;

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void countChanged();
    void currentChanged();
    void forScreenReadersChanged();

private:
    int m_count = 0;
    int m_current = -1;
    bool m_forScreenReaders = QAccessible::isActive();
    QImage m_shadow;
};
