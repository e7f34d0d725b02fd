#pragma once

#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "SymbolImageProvider.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTest>

// A window showing one QML snippet that imports the Quorlin module, for
// driving components with real mouse and key events.
class QmlTestView {
public:
    explicit QmlTestView(const QSize& size = QSize(800, 800)) {
        m_view.engine()->addImportPath(QStringLiteral("qrc:/"));
        // Tiles shown without a catalogue draw the generic icon; tests that
        // have one put its provider in this one's place.
        m_view.engine()->addImageProvider(QString(appIconProviderId), new AppIconProvider);
        m_view.engine()->addImageProvider(SymbolImageProvider::providerId, new SymbolImageProvider);
        m_view.setColor(Qt::black);
        m_view.resize(size);
    }

    [[nodiscard]] QQuickView& view() { return m_view; }
    [[nodiscard]] QQmlEngine& engine() { return *m_view.engine(); }

    // Builds the snippet with the given initial properties and shows it; null
    // (with the errors printed) when the snippet does not build.
    QQuickItem* load(const QByteArray& qml, const QVariantMap& properties = {}) {
        auto* component = new QQmlComponent(m_view.engine(), &m_view);
        component->setData(qml, QUrl(QStringLiteral("qrc:/tests/Snippet.qml")));
        QObject* object =
            component->isReady() ? component->createWithInitialProperties(properties) : nullptr;
        auto* item = qobject_cast<QQuickItem*>(object);
        if (!item) {
            qWarning().noquote() << component->errorString();
            delete object;
            return nullptr;
        }
        m_view.setContent(component->url(), component, item);
        m_view.show();
        return QTest::qWaitForWindowExposed(&m_view) ? item : nullptr;
    }

    // Centre of `item` in window coordinates.
    [[nodiscard]] static QPoint centreOf(const QQuickItem* item) {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

    void click(const QQuickItem* item, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(&m_view, button, Qt::NoModifier, centreOf(item));
    }

private:
    QQuickView m_view;
};

// Depth-first search of the visual tree: view delegates are not QObject
// children of their view, so findChild does not reach them.
template <typename Match>
void collectItems(QQuickItem* item, const Match& match, QList<QQuickItem*>& found) {
    if (!item)
        return;
    if (match(item))
        found.append(item);
    const QList<QQuickItem*> children = item->childItems();
    for (QQuickItem* child : children)
        collectItems(child, match, found);
}

inline QList<QQuickItem*> itemsNamed(QQuickItem* root, const QString& objectName) {
    QList<QQuickItem*> found;
    collectItems(
        root, [&](QQuickItem* item) { return item->objectName() == objectName; }, found);
    return found;
}

inline QQuickItem* itemNamed(QQuickItem* root, const QString& objectName) {
    const QList<QQuickItem*> found = itemsNamed(root, objectName);
    return found.isEmpty() ? nullptr : found.first();
}
