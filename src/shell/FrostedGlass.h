#pragma once

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

#include <memory>

class BackgroundImageStore;

// Frosted glass over the launcher: inside a rounded outline it paints the
// blurred and dimmed desktop picture exactly where the main screen shows it,
// coloured by `tint`, so whatever lies between the picture and the glass (the
// grid, the open folder's backdrop) is covered and only a blur shows through,
// on every scene graph backend. The picture is the one the background has
// already blurred off the GUI thread, read from the engine's desktop background
// provider: a paint, which comes only when the glass moves or resizes or the
// picture changes, just stretches the part under the glass. With an
// `arrowSize`, the outline has a pointer at the top centre and the body starts
// that far down.
class FrostedGlass : public QQuickPaintedItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(qreal radius MEMBER m_radius NOTIFY lookChanged)
    Q_PROPERTY(qreal arrowSize MEMBER m_arrowSize NOTIFY lookChanged)
    Q_PROPERTY(QColor tint MEMBER m_tint NOTIFY lookChanged)
    Q_PROPERTY(QColor borderColor MEMBER m_borderColor NOTIFY lookChanged)

public:
    explicit FrostedGlass(QQuickItem* parent = nullptr);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void lookChanged();

protected:
    void componentComplete() override;

private:
    // The picture lines up with the background only while the glass knows
    // where it is in the scene: any ancestor that moves or resizes repaints it.
    void followAncestors();
    // The glass's edge, moved `inset` inwards.
    [[nodiscard]] QPainterPath outline(qreal inset) const;

    qreal m_radius = 0;
    qreal m_arrowSize = 0;
    QColor m_tint = Qt::transparent;
    QColor m_borderColor = Qt::transparent;
    std::shared_ptr<const BackgroundImageStore> m_store;
    QList<QMetaObject::Connection> m_followed;
};
