#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

// The tile over a host area that counts the clicks reaching it, as the grid's
// cell does.
const QByteArray tileScene = R"(
import QtQuick
import Quorlin

Item {
    width: 400
    height: 300
    property int hostClicks: 0
    property int deletes: 0
    property alias tile: tile

    MouseArea {
        anchors.fill: parent
        onClicked: parent.hostClicks++
    }
    AppIconView {
        id: tile
        x: 140
        y: 100
        name: "Terminal"
        onDeleteClicked: parent.deletes++
    }
}
)";

QQuickItem* findItem(QQuickItem* item, const QString& name) {
    if (!item)
        return nullptr;
    if (item->objectName() == name)
        return item;
    const QList<QQuickItem*> children = item->childItems();
    for (QQuickItem* child : children) {
        if (QQuickItem* found = findItem(child, name))
            return found;
    }
    return nullptr;
}

QPoint centreOf(const QQuickItem* item) {
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

struct Scene {
    QQuickView view;
    QQuickItem* root = nullptr;
    QQuickItem* tile = nullptr;

    bool load(const QVariantMap& tileProperties = {}) {
        view.engine()->addImportPath(QStringLiteral("qrc:/"));
        QQmlComponent component(view.engine());
        component.setData(tileScene, QUrl(QStringLiteral("qrc:/tests/TileScene.qml")));
        std::unique_ptr<QObject> object(component.beginCreate(view.engine()->rootContext()));
        if (!object) {
            qWarning().noquote() << component.errorString();
            return false;
        }
        auto* tileObject = object->property("tile").value<QQuickItem*>();
        for (auto it = tileProperties.cbegin(); it != tileProperties.cend(); ++it)
            tileObject->setProperty(it.key().toUtf8(), it.value());
        component.completeCreate();
        root = qobject_cast<QQuickItem*>(object.release());
        root->setParentItem(view.contentItem());
        root->setParent(&view);
        tile = tileObject;
        view.resize(400, 300);
        view.show();
        return QTest::qWaitForWindowExposed(&view);
    }

    [[nodiscard]] QQuickItem* icon() const { return findItem(tile, QStringLiteral("tileIcon")); }
    [[nodiscard]] QQuickItem* badge() const {
        return findItem(tile, QStringLiteral("deleteBadge"));
    }
    [[nodiscard]] QQuickItem* label() const { return findItem(tile, QStringLiteral("tileName")); }
};

} // namespace

class AppIconViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void frameAndRest();
    void hoverLiftsTheIcon();
    void wiggleInEditMode_data();
    void wiggleInEditMode();
    void leavingEditModeStopsAtOnce();
    void badgeOnlyWithDeleteActionInEditMode_data();
    void badgeOnlyWithDeleteActionInEditMode();
    void badgeClickDeletesOnly();
    void tileTakesNoClickOfItsOwn();
    void nameLabel_data();
    void nameLabel();
};

void AppIconViewTest::frameAndRest() {
    Scene scene;
    QVERIFY(scene.load());
    QCOMPARE(scene.tile->width(), 120.0);
    QCOMPARE(scene.tile->height(), 110.0);
    QCOMPARE(scene.icon()->width(), 64.0);
    QCOMPARE(scene.icon()->height(), 64.0);
    // The 104-point stack of icon, spacing and label is centred in the frame.
    QCOMPARE(scene.icon()->mapToItem(scene.tile, QPointF(0, 0)), QPointF(28, 3));
    QCOMPARE(scene.label()->mapToItem(scene.tile, QPointF(0, 0)), QPointF(10, 75));
    QCOMPARE(scene.icon()->scale(), 1.0);
    QCOMPARE(scene.icon()->rotation(), 0.0);
    QVERIFY(!scene.tile->property("isHovered").toBool());
    QVERIFY(!scene.badge());
}

void AppIconViewTest::hoverLiftsTheIcon() {
    Scene scene;
    QVERIFY(scene.load());
    QTest::mouseMove(&scene.view, QPoint(5, 5));
    QTest::mouseMove(&scene.view, centreOf(scene.tile));
    QTRY_VERIFY(scene.tile->property("isHovered").toBool());
    // The spring carries the icon past 1.1 and settles on it.
    qreal largest = 1.0;
    QTRY_VERIFY((largest = std::max(largest, scene.icon()->scale()),
                 qAbs(scene.icon()->scale() - 1.1) < 0.002 && largest > 1.1));
    QVERIFY(largest < 1.15);

    QTest::mouseMove(&scene.view, QPoint(5, 5));
    QTRY_VERIFY(!scene.tile->property("isHovered").toBool());
    QTRY_VERIFY(qAbs(scene.icon()->scale() - 1.0) < 0.002);
}

void AppIconViewTest::wiggleInEditMode_data() {
    QTest::addColumn<bool>("fromStart");
    QTest::addRow("edit mode switched on") << false;
    QTest::addRow("tile made while in edit mode") << true;
}

void AppIconViewTest::wiggleInEditMode() {
    QFETCH(bool, fromStart);

    Scene scene;
    QVERIFY(scene.load(fromStart ? QVariantMap{{"isEditMode", true}} : QVariantMap{}));
    if (!fromStart) {
        QTest::qWait(100);
        QCOMPARE(scene.icon()->rotation(), 0.0);
        scene.tile->setProperty("isEditMode", true);
    }
    // Rocks between 0 and 2 degrees, 0.15 s each way, and keeps going.
    qreal low = 2, high = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 700) {
        QTest::qWait(10);
        const qreal rotation = scene.icon()->rotation();
        QCOMPARE(rotation, scene.tile->property("wiggleOffset").toReal());
        QVERIFY2(rotation >= -0.0001 && rotation <= 2.0001, qPrintable(QString::number(rotation)));
        low = std::min(low, rotation);
        high = std::max(high, rotation);
    }
    QVERIFY2(low < 0.4 && high > 1.6, qPrintable(QStringLiteral("%1..%2").arg(low).arg(high)));
}

void AppIconViewTest::leavingEditModeStopsAtOnce() {
    Scene scene;
    QVERIFY(scene.load({{"isEditMode", true}, {"hasDeleteAction", true}}));
    QTRY_VERIFY(scene.icon()->rotation() > 0.5);
    QVERIFY(scene.badge());
    scene.tile->setProperty("isEditMode", false);
    QCOMPARE(scene.icon()->rotation(), 0.0);
    QCOMPARE(scene.tile->property("wiggleOffset").toReal(), 0.0);
    QVERIFY(!scene.badge());
    QTest::qWait(200);
    QCOMPARE(scene.icon()->rotation(), 0.0);
}

void AppIconViewTest::badgeOnlyWithDeleteActionInEditMode_data() {
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<bool>("deleteAction");
    QTest::addColumn<bool>("badge");

    QTest::addRow("edit mode with delete action") << true << true << true;
    QTest::addRow("edit mode without delete action") << true << false << false;
    QTest::addRow("delete action outside edit mode") << false << true << false;
    QTest::addRow("neither") << false << false << false;
}

void AppIconViewTest::badgeOnlyWithDeleteActionInEditMode() {
    QFETCH(bool, editMode);
    QFETCH(bool, deleteAction);
    QFETCH(bool, badge);

    Scene scene;
    QVERIFY(scene.load({{"isEditMode", editMode}, {"hasDeleteAction", deleteAction}}));
    QCOMPARE(scene.badge() != nullptr, badge);
    if (badge) {
        // 22 points, 8 right of and 8 above the stack's top-right corner.
        QCOMPARE(scene.badge()->width(), 22.0);
        QCOMPARE(scene.badge()->mapToItem(scene.tile, QPointF(0, 0)), QPointF(96, -5));
    }
}

void AppIconViewTest::badgeClickDeletesOnly() {
    Scene scene;
    QVERIFY(scene.load({{"isEditMode", true}, {"hasDeleteAction", true}}));
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(scene.badge()));
    QCOMPARE(scene.root->property("deletes").toInt(), 1);
    QCOMPARE(scene.root->property("hostClicks").toInt(), 0);
}

void AppIconViewTest::tileTakesNoClickOfItsOwn() {
    Scene scene;
    QVERIFY(scene.load({{"isEditMode", true}, {"hasDeleteAction", true}}));
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(scene.icon()));
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(scene.label()));
    QCOMPARE(scene.root->property("hostClicks").toInt(), 2);
    QCOMPARE(scene.root->property("deletes").toInt(), 0);
}

void AppIconViewTest::nameLabel_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("truncated");

    QTest::addRow("short") << "Mail" << 1 << false;
    QTest::addRow("two lines") << "Disk Usage Analyzer" << 2 << false;
    QTest::addRow("too long") << "A Remarkably Long Application Name That Goes On And On" << 2
                              << true;
    QTest::addRow("one long word") << "Supercalifragilisticexpialidocious-Extended" << 2 << true;
    QTest::addRow("markup stays text") << "<b>Bold</b>" << 1 << false;
}

void AppIconViewTest::nameLabel() {
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(bool, truncated);

    Scene scene;
    QVERIFY(scene.load({{"name", name}}));
    QQuickItem* label = scene.label();
    QCOMPARE(label->property("text").toString(), name);
    QCOMPARE(label->property("lineCount").toInt(), lines);
    QCOMPARE(label->property("truncated").toBool(), truncated);
    // Every label keeps the 100 × 32 frame, so tiles line up.
    QCOMPARE(label->width(), 100.0);
    QCOMPARE(label->height(), 32.0);
    QVERIFY(label->property("contentWidth").toReal() <= 100.0);
    QVERIFY(label->property("contentHeight").toReal() <= 32.0);
}

QTEST_MAIN(AppIconViewTest)
#include "tst_appiconview.moc"
