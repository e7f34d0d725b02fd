#include "QmlTestView.h"

#include <QQmlProperty>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

const QString iconUrl = QStringLiteral("qrc:/Quorlin/folders/icons/plus-circle-fill.svg");

QVariantList icons(int count) {
    QVariantList list;
    for (int i = 0; i < count; ++i)
        list.append(iconUrl);
    return list;
}

const QByteArray tileQml = R"(
import QtQuick
import Quorlin
Item {
    property alias tile: tile
    width: 300; height: 300
    FolderIconView {
        id: tile
        x: 90; y: 90
        folderName: "Work"
        previewIcons: []
    }
}
)";

} // namespace

class TestFolderIconView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A QML binding error is a fault of the tile even when it still works.
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }
    void previewLayout_data();
    void previewLayout();
    void clickOpens();
    void menuEntries_data();
    void menuEntries();
    void hoverGrows();
    void dropRingFollowsDropTarget();
    void longNameIsCutToOneLine();

private:
    struct Scene {
        QmlTestView view{QSize(300, 300)};
        QQuickItem* tile = nullptr;
    };
    static bool load(Scene& scene);
};

bool TestFolderIconView::load(Scene& scene) {
    QQuickItem* root = scene.view.load(tileQml);
    if (!root)
        return false;
    scene.tile = root->property("tile").value<QQuickItem*>();
    return scene.tile != nullptr;
}

void TestFolderIconView::previewLayout_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("rows");

    QTest::addRow("empty folder: no preview") << 0 << 0;
    QTest::addRow("one icon, one row") << 1 << 1;
    QTest::addRow("three icons fill one row") << 3 << 1;
    QTest::addRow("four icons start a second row") << 4 << 2;
    QTest::addRow("nine icons, three rows") << 9 << 3;
}

void TestFolderIconView::previewLayout() {
    QFETCH(int, count);
    QFETCH(int, rows);

    Scene scene;
    QVERIFY(load(scene));
    scene.tile->setProperty("previewIcons", icons(count));

    QQuickItem* preview = itemNamed(scene.tile, QStringLiteral("preview"));
    QVERIFY(preview);
    QCOMPARE(preview->isVisible(), count > 0);
    if (count == 0)
        return;

    const QList<QQuickItem*> images = [&] {
        QList<QQuickItem*> found;
        collectItems(
            preview,
            [](QQuickItem* item) {
                return QByteArray(item->metaObject()->className()) == "RoundedImage";
            },
            found);
        return found;
    }();
    QCOMPARE(images.size(), count);
    QTRY_VERIFY(images.first()->property("loaded").toBool());

    // Rows of 20 with 2 between them, the block centred on the square.
    QTRY_COMPARE(preview->height(), rows * 20.0 + (rows - 1) * 2.0);
    const QPointF previewCentre =
        preview->mapToItem(scene.tile, QPointF(preview->width() / 2, preview->height() / 2));
    QQuickItem* square = itemNamed(scene.tile, QStringLiteral("dropRing"));
    const QPointF squareCentre = square->mapToItem(scene.tile, QPointF(40, 40));
    QCOMPARE(previewCentre.y(), squareCentre.y());
    // Icons fill the rows from the left, 20 x 20 each.
    const QPointF first = images.first()->mapToItem(scene.tile, QPointF(0, 0));
    const QPointF last = images.last()->mapToItem(scene.tile, QPointF(0, 0));
    QCOMPARE(images.first()->width(), 20.0);
    // Three equal columns share the tile's width inside 8 of padding, so the
    // first icon is centred in the left third (to within a pixel).
    const qreal columnWidth = (120.0 - 2 * 8 - 2 * 2) / 3;
    QVERIFY(qAbs(first.x() + 10 - (8 + columnWidth / 2)) < 1.0);
    QCOMPARE(last.y(), first.y() + (rows - 1) * 22.0);
}

void TestFolderIconView::clickOpens() {
    Scene scene;
    QVERIFY(load(scene));
    QSignalSpy opened(scene.tile, SIGNAL(open()));
    QSignalSpy renamed(scene.tile, SIGNAL(rename()));

    // The whole 120 x 120 cell takes the click, corners included.
    QTest::mouseClick(&scene.view.view(), Qt::LeftButton, {}, QPoint(92, 92));
    QCOMPARE(opened.size(), 1);
    scene.view.click(scene.tile);
    QCOMPARE(opened.size(), 2);
    QCOMPARE(renamed.size(), 0);
    QVERIFY(!scene.tile->property("menu").value<QObject*>()->property("opened").toBool());
}

void TestFolderIconView::menuEntries_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("signal");

    QTest::addRow("first entry renames") << 0 << "Rename Folder" << QByteArray(SIGNAL(rename()));
    QTest::addRow("second entry deletes")
        << 1 << "Delete Folder" << QByteArray(SIGNAL(deleteFolder()));
}

void TestFolderIconView::menuEntries() {
    QFETCH(int, entry);
    QFETCH(QString, text);
    QFETCH(QByteArray, signal);

    Scene scene;
    QVERIFY(load(scene));
    QSignalSpy chosen(scene.tile, signal.constData());
    QSignalSpy opened(scene.tile, SIGNAL(open()));

    scene.view.click(scene.tile, Qt::RightButton);
    QObject* menu = scene.tile->property("menu").value<QObject*>();
    QTRY_VERIFY(menu->property("opened").toBool());
    QCOMPARE(menu->property("count").toInt(), 2);

    QQuickItem* item = nullptr;
    QVERIFY(QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, item),
                                      Q_ARG(int, entry)));
    QVERIFY(item);
    QCOMPARE(item->property("text").toString(), text);
    scene.view.click(item);

    QCOMPARE(chosen.size(), 1);
    QCOMPARE(opened.size(), 0);
    QTRY_VERIFY(!menu->property("visible").toBool());
}

void TestFolderIconView::hoverGrows() {
    Scene scene;
    QVERIFY(load(scene));
    QQuickItem* preview = itemNamed(scene.tile, QStringLiteral("preview"));
    QQuickItem* icon = preview->parentItem();
    QCOMPARE(icon->scale(), 1.0);

    QTest::mouseMove(&scene.view.view(), QmlTestView::centreOf(scene.tile));
    QTRY_VERIFY(scene.tile->property("isHovered").toBool());
    QTRY_COMPARE(icon->scale(), 1.1);
    // The name does not grow with the icon.
    QCOMPARE(itemNamed(scene.tile, QStringLiteral("folderNameLabel"))->scale(), 1.0);

    QTest::mouseMove(&scene.view.view(), QPoint(5, 5));
    QTRY_VERIFY(!scene.tile->property("isHovered").toBool());
    QTRY_COMPARE(icon->scale(), 1.0);
}

void TestFolderIconView::dropRingFollowsDropTarget() {
    Scene scene;
    QVERIFY(load(scene));
    QQuickItem* ring = itemNamed(scene.tile, QStringLiteral("dropRing"));
    QVERIFY(ring);
    QVERIFY(!ring->isVisible());
    scene.tile->setProperty("isDropTarget", true);
    QVERIFY(ring->isVisible());
    QCOMPARE(QQmlProperty::read(ring, QStringLiteral("border.width")).toInt(), 3);
    QCOMPARE(ring->width(), 80.0);
    scene.tile->setProperty("isDropTarget", false);
    QVERIFY(!ring->isVisible());
}

void TestFolderIconView::longNameIsCutToOneLine() {
    Scene scene;
    QVERIFY(load(scene));
    QQuickItem* label = itemNamed(scene.tile, QStringLiteral("folderNameLabel"));
    QVERIFY(!label->property("truncated").toBool());

    scene.tile->setProperty("folderName",
                            QStringLiteral("A folder with a name far too long for one line"));
    QCOMPARE(label->width(), 100.0);
    QVERIFY(label->property("truncated").toBool());
    QCOMPARE(label->property("lineCount").toInt(), 1);
}

QTEST_MAIN(TestFolderIconView)
#include "tst_foldericonview.moc"
