#include "AppSettings.h"
#include "GridTestData.h"
#include "PagedGrid.h"
#include "RecordingDefaultsStore.h"
#include "StdoutCapture.h"

#include <QQmlEngine>
#include <QQuickImageProvider>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

// Flat icons, so tiles draw without a catalogue behind them.
class FlatIconProvider : public QQuickImageProvider {
public:
    FlatIconProvider()
        : QQuickImageProvider(QQuickImageProvider::Image) {}
    QImage requestImage(const QString& id, QSize* size, const QSize& requested) override {
        QImage image(requested.isValid() ? requested : QSize(64, 64), QImage::Format_ARGB32);
        image.fill(QColor::fromHsv(static_cast<int>(qHash(id) % 360), 200, 220));
        *size = image.size();
        return image;
    }
};

template <typename Match>
void collect(QQuickItem* item, const Match& match, QList<QQuickItem*>& found) {
    if (!item)
        return;
    if (match(item))
        found.append(item);
    const QList<QQuickItem*> children = item->childItems();
    for (QQuickItem* child : children)
        collect(child, match, found);
}

QList<QQuickItem*> itemsNamed(QQuickItem* root, const QString& name) {
    QList<QQuickItem*> found;
    collect(
        root, [&](QQuickItem* item) { return item->objectName() == name && item->isVisible(); },
        found);
    return found;
}

QPoint centreOf(const QQuickItem* item) {
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

bool onScreen(const QQuickWindow& window, const QQuickItem* item) {
    const QRectF box = item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    return QRectF(QPointF(0, 0), window.size()).contains(box);
}

// The grid view at the launcher's size, over its own settings and a grid the
// test fills.
struct Scene {
    RecordingDefaultsStore store;
    AppSettings settings{store};
    PagedGrid grid;
    QQuickView view;
    AppList apps;

    explicit Scene(int appCount, int folderCount = 0) {
        for (int i = 0; i < folderCount; ++i)
            settings.createFolder(QStringLiteral("F%1").arg(i), {});
        apps = testApps(numberedCodes(appCount));
        grid.setSettings(&settings);
        grid.setApps(apps);
        view.engine()->addImportPath(QStringLiteral("qrc:/"));
        view.engine()->addImageProvider(QStringLiteral("appicon"), new FlatIconProvider);
        view.setResizeMode(QQuickView::SizeRootObjectToView);
        view.resize(1920, 1055);
        view.setInitialProperties({{"grid", QVariant::fromValue(&grid)}});
    }

    bool show() {
        view.setSource(QUrl(QStringLiteral("qrc:/Quorlin/grid/PagedGridView.qml")));
        if (view.status() != QQuickView::Ready)
            return false;
        view.show();
        return QTest::qWaitForWindowExposed(&view);
    }

    [[nodiscard]] QQuickItem* root() const { return view.rootObject(); }
    [[nodiscard]] QList<QQuickItem*> dots() const { return itemsNamed(root(), "pageDot"); }
    [[nodiscard]] QQuickItem* dotsRow() const {
        QList<QQuickItem*> found;
        collect(
            root(), [](QQuickItem* item) { return item->objectName() == "pageDots"; }, found);
        return found.value(0);
    }
    [[nodiscard]] QQuickItem* cellOf(const AppItem& app) const {
        QList<QQuickItem*> found;
        collect(
            root(),
            [&](QQuickItem* item) {
                return item->objectName() == "appCell" &&
                       item->property("appId").toString() == uuidText(app.id);
            },
            found);
        return found.value(0);
    }
    [[nodiscard]] QQuickItem* tileOf(const AppItem& app) const {
        QList<QQuickItem*> found;
        collect(
            cellOf(app), [](QQuickItem* item) { return item->objectName() == "tileIcon"; }, found);
        return found.value(0);
    }
    [[nodiscard]] QQuickItem* ringOf(const AppItem& app) const {
        return itemsNamed(cellOf(app), "dropRing").value(0);
    }
    [[nodiscard]] QObject* menu() const {
        for (QQuickItem* page : itemsNamed(root(), "gridPage")) {
            if (onScreen(view, page))
                return page->findChild<QObject*>("appMenu");
        }
        return nullptr;
    }
};

// Opacity as drawn: the item's own times its parents'.
qreal drawnOpacity(const QQuickItem* item) {
    qreal opacity = 1;
    for (; item; item = item->parentItem())
        opacity *= item->opacity();
    return opacity;
}

} // namespace

class PagedGridViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void announcesOncePerAppearance();
    void dots_data();
    void dots();
    void dotClickTurnsThePage();
    void wheelTurnsOnePage();
    void swipeSettlesOnAWholePage_data();
    void swipeSettlesOnAWholePage();
    void dragOnATileDoesNotTurnThePage();
    void clickLaunches();
    void contextMenu_data();
    void contextMenu();
    void editModeBadgeDeletes();
    void dragStateIsDrawn();
    void folderTileOpensThePanel();
};

void PagedGridViewTest::announcesOncePerAppearance() {
    StdoutCapture capture;
    {
        Scene scene(78, 2);
        QVERIFY(scene.show());
        scene.grid.setApps(testApps(numberedCodes(10)));
        QTest::qWait(50);
    }
    QCOMPARE(capture.lines().filter("PagedGridView"),
             QStringList{"PagedGridView loaded with 3 pages, 80 items"});
}

void PagedGridViewTest::dots_data() {
    QTest::addColumn<int>("apps");
    QTest::addColumn<int>("dots");

    QTest::addRow("one page, no dots") << 35 << 0;
    QTest::addRow("one over a page") << 36 << 2;
    QTest::addRow("three pages") << 80 << 3;
}

void PagedGridViewTest::dots() {
    QFETCH(int, apps);
    QFETCH(int, dots);

    Scene scene(apps);
    QVERIFY(scene.show());
    QCOMPARE(scene.dotsRow()->isVisible(), dots > 0);
    if (dots == 0)
        return;
    const QList<QQuickItem*> found = scene.dots();
    QCOMPARE(found.size(), dots);
    for (int i = 0; i < dots; ++i) {
        QQuickItem* circle = found.at(i)->childItems().at(1);
        QCOMPARE(found.at(i)->width(), 7.0);
        QCOMPARE(circle->opacity(), i == 0 ? 1.0 : 0.5);
        QCOMPARE(circle->scale(), i == 0 ? 1.4 : 1.0);
    }
    // 10 apart, 40 above the bottom, centred.
    QCOMPARE(found.at(1)->x() - found.at(0)->x(), 17.0);
    const QRectF row = scene.dotsRow()->mapRectToScene(
        QRectF(0, 0, scene.dotsRow()->width(), scene.dotsRow()->height()));
    QCOMPARE(row.bottom(), 1055.0 - 40);
    // Anchoring puts odd widths on whole pixels.
    QVERIFY(qAbs(row.center().x() - 960.0) <= 0.5);
}

void PagedGridViewTest::dotClickTurnsThePage() {
    Scene scene(80);
    QVERIFY(scene.show());
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(scene.dots().at(2)));
    QCOMPARE(scene.grid.currentPage(), 2);
    QTRY_VERIFY(scene.cellOf(scene.apps.at(70)) &&
                onScreen(scene.view, scene.cellOf(scene.apps.at(70))));
    QQuickItem* circle = scene.dots().at(2)->childItems().at(1);
    QCOMPARE(circle->scale(), 1.4);
    QCOMPARE(scene.dots().at(0)->childItems().at(1)->opacity(), 0.5);

    // "No page chosen" shows the first page and lights its dot.
    scene.grid.setCurrentPage(-1);
    QCOMPARE(scene.dots().at(0)->childItems().at(1)->opacity(), 1.0);
    QTRY_VERIFY(scene.cellOf(scene.apps.at(0)) &&
                onScreen(scene.view, scene.cellOf(scene.apps.at(0))));
}

void PagedGridViewTest::wheelTurnsOnePage() {
    Scene scene(80);
    QVERIFY(scene.show());
    const QPointF at(960, 500);
    QWheelEvent wheel(at, at, QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&scene.view, &wheel);
    QCOMPARE(scene.grid.currentPage(), 1);
    QTRY_VERIFY(scene.cellOf(scene.apps.at(40)) &&
                onScreen(scene.view, scene.cellOf(scene.apps.at(40))));
    // The pages settle on whole pages: the first cell of page 1 sits where the
    // first cell of page 0 sat.
    QTRY_COMPARE(scene.cellOf(scene.apps.at(35))->mapToScene(QPointF(0, 0)).x(), 80.0);
}

void PagedGridViewTest::swipeSettlesOnAWholePage_data() {
    QTest::addColumn<int>("distance");
    QTest::addColumn<int>("restBeforeRelease");
    QTest::addColumn<int>("page");

    QTest::addRow("a long swipe left") << -1100 << 0 << 1;
    QTest::addRow("a quick flick left") << -150 << 0 << 1;
    QTest::addRow("a short drag springs back") << -25 << 300 << 0;
    QTest::addRow("a slow drag past half a page") << -1000 << 300 << 1;
    QTest::addRow("no page before the first") << 900 << 0 << 0;
}

void PagedGridViewTest::swipeSettlesOnAWholePage() {
    QFETCH(int, distance);
    QFETCH(int, restBeforeRelease);
    QFETCH(int, page);

    Scene scene(80);
    QVERIFY(scene.show());
    QSignalSpy launch(&scene.grid, &PagedGrid::launchRequested);
    // Below the last row of tiles.
    const QPoint at(distance < 0 ? 1200 : 200, 950);
    QTest::mousePress(&scene.view, Qt::LeftButton, {}, at);
    for (int step = 1; step <= 20; ++step)
        QTest::mouseMove(&scene.view, at + QPoint(distance * step / 20, 0), 16);
    // The pause before letting go is what tells a drag from a flick.
    QTest::mouseRelease(&scene.view, Qt::LeftButton, {}, at + QPoint(distance, 0),
                        std::max(restBeforeRelease, 16));
    const AppItem& first = scene.apps.at(35 * page);
    QTRY_VERIFY(scene.cellOf(first) &&
                qAbs(scene.cellOf(first)->mapToScene(QPointF(0, 0)).x() - 80.0) < 0.5);
    QTRY_COMPARE(scene.grid.currentPage(), page);
    QCOMPARE(scene.grid.draggedAppId(), QString());
    QCOMPARE(launch.size(), 0);
}

void PagedGridViewTest::dragOnATileDoesNotTurnThePage() {
    Scene scene(80);
    QVERIFY(scene.show());
    QSignalSpy launch(&scene.grid, &PagedGrid::launchRequested);
    QSignalSpy dragged(&scene.grid, &PagedGrid::draggedAppChanged);
    const QPoint at = centreOf(scene.tileOf(scene.apps.at(5)));
    QTest::mousePress(&scene.view, Qt::LeftButton, {}, at);
    for (int step = 1; step <= 20; ++step)
        QTest::mouseMove(&scene.view, at + QPoint(-1100 * step / 20, 0), 16);
    QTest::mouseRelease(&scene.view, Qt::LeftButton, {}, at + QPoint(-1100, 0), 16);
    QTest::qWait(300);
    QCOMPARE(scene.grid.currentPage(), 0);
    QCOMPARE(scene.cellOf(scene.apps.at(0))->mapToScene(QPointF(0, 0)).x(), 80.0);
    QCOMPARE(launch.size(), 0);
    // The tile's drag began, and (the offscreen platform ending it at once)
    // left nothing dragged behind.
    QVERIFY(dragged.size() >= 1);
    QCOMPARE(scene.grid.draggedAppId(), QString());
}

void PagedGridViewTest::clickLaunches() {
    Scene scene(10);
    QVERIFY(scene.show());
    QSignalSpy launch(&scene.grid, &PagedGrid::launchRequested);
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(scene.tileOf(scene.apps.at(3))));
    QCOMPARE(launch.size(), 1);
    QCOMPARE(launch.first().first().value<AppItem>().id, scene.apps.at(3).id);

    // Also in edit mode: the main screen decides.
    scene.root()->setProperty("isEditMode", true);
    QVERIFY(scene.grid.isEditMode());
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(scene.tileOf(scene.apps.at(4))));
    QCOMPARE(launch.size(), 2);
}

void PagedGridViewTest::contextMenu_data() {
    QTest::addColumn<bool>("editMode");
    QTest::addRow("outside edit mode") << false;
    QTest::addRow("in edit mode") << true;
}

void PagedGridViewTest::contextMenu() {
    QFETCH(bool, editMode);

    Scene scene(10);
    scene.grid.setRevealLabel(QStringLiteral("Show in Files"));
    QVERIFY(scene.show());
    scene.root()->setProperty("isEditMode", editMode);
    QSignalSpy launch(&scene.grid, &PagedGrid::launchRequested);
    QSignalSpy hide(&scene.grid, &PagedGrid::hideRequested);
    QSignalSpy remove(&scene.grid, &PagedGrid::deleteRequested);
    QSignalSpy reveal(&scene.grid, &PagedGrid::revealRequested);

    const auto openMenuOn = [&](const AppItem& app) {
        QTest::mouseClick(&scene.view, Qt::RightButton, {}, centreOf(scene.tileOf(app)));
        QTRY_VERIFY(scene.menu()->property("opened").toBool());
    };
    const auto menuItem = [&](int index) {
        QQuickItem* item = nullptr;
        QMetaObject::invokeMethod(scene.menu(), "itemAt", Q_RETURN_ARG(QQuickItem*, item),
                                  Q_ARG(int, index));
        return item;
    };
    const auto choose = [&](int index) {
        QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(menuItem(index)));
        QTRY_VERIFY(!scene.menu()->property("visible").toBool());
    };

    openMenuOn(scene.apps.at(2));
    QCOMPARE(scene.menu()->property("count").toInt(), 4);
    QCOMPARE(menuItem(0)->property("text").toString(), QStringLiteral("Hide App"));
    QCOMPARE(menuItem(1)->property("text").toString(), QStringLiteral("Delete App"));
    QVERIFY(QByteArray(menuItem(2)->metaObject()->className()).contains("MenuSeparator"));
    QCOMPARE(menuItem(3)->property("text").toString(), QStringLiteral("Show in Files"));
    // The destructive entry is drawn in red.
    const QObject* palette = menuItem(1)->property("palette").value<QObject*>();
    QVERIFY(palette);
    const QColor red = palette->property("windowText").value<QColor>();
    QVERIFY(red.red() > 200 && red.green() < 100);
    choose(0);
    QCOMPARE(hide.size(), 1);
    QCOMPARE(hide.first().first().value<AppItem>().id, scene.apps.at(2).id);

    openMenuOn(scene.apps.at(5));
    choose(1);
    QCOMPARE(remove.size(), 1);
    QCOMPARE(remove.first().first().value<AppItem>().id, scene.apps.at(5).id);

    openMenuOn(scene.apps.at(0));
    choose(3);
    QCOMPARE(reveal.size(), 1);
    QCOMPARE(reveal.first().first().value<AppItem>().id, scene.apps.at(0).id);
    QCOMPARE(launch.size(), 0);
}

void PagedGridViewTest::editModeBadgeDeletes() {
    Scene scene(10);
    QVERIFY(scene.show());
    QVERIFY(itemsNamed(scene.root(), "deleteBadge").isEmpty());
    scene.root()->setProperty("isEditMode", true);
    const QList<QQuickItem*> badges = itemsNamed(scene.root(), "deleteBadge");
    QCOMPARE(badges.size(), 10);
    QSignalSpy remove(&scene.grid, &PagedGrid::deleteRequested);
    QSignalSpy launch(&scene.grid, &PagedGrid::launchRequested);
    QQuickItem* badge = itemsNamed(scene.cellOf(scene.apps.at(6)), "deleteBadge").value(0);
    QVERIFY(badge);
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(badge));
    QCOMPARE(remove.size(), 1);
    QCOMPARE(remove.first().first().value<AppItem>().id, scene.apps.at(6).id);
    QCOMPARE(launch.size(), 0);
    // Tiles wiggle in edit mode and stop when it ends.
    QTRY_VERIFY(scene.tileOf(scene.apps.at(1))->rotation() > 0.5);
    scene.root()->setProperty("isEditMode", false);
    QCOMPARE(scene.tileOf(scene.apps.at(1))->rotation(), 0.0);
    QVERIFY(itemsNamed(scene.root(), "deleteBadge").isEmpty());
}

void PagedGridViewTest::dragStateIsDrawn() {
    Scene scene(10);
    QVERIFY(scene.show());
    const AppItem& dragged = scene.apps.at(1);
    const AppItem& target = scene.apps.at(4);
    QCOMPARE(drawnOpacity(scene.tileOf(dragged)), 1.0);
    QCOMPARE(scene.ringOf(target)->opacity(), 0.0);

    scene.grid.beginDrag(uuidText(dragged.id));
    QCOMPARE(drawnOpacity(scene.tileOf(dragged)), 0.5);
    QCOMPARE(drawnOpacity(scene.tileOf(target)), 1.0);
    QVERIFY(scene.grid.dropEntered(uuidText(target.id)));
    QCOMPARE(scene.ringOf(target)->opacity(), 1.0);
    QCOMPARE(scene.ringOf(dragged)->opacity(), 0.0);
    // The ring follows the tile: radius 20, white at half opacity, 3 wide.
    QQuickItem* ring = scene.ringOf(target);
    QCOMPARE(ring->property("radius").toReal(), 20.0);
    QCOMPARE(ring->width(), 120.0);
    QCOMPARE(ring->height(), 110.0);

    scene.grid.endDrag();
    QCOMPARE(drawnOpacity(scene.tileOf(dragged)), 1.0);
    QCOMPARE(scene.ringOf(target)->opacity(), 0.0);
}

void PagedGridViewTest::folderTileOpensThePanel() {
    Scene scene(5, 1);
    QVERIFY(scene.show());
    const QList<QQuickItem*> folders = itemsNamed(scene.root(), "folderCell");
    QCOMPARE(folders.size(), 1);
    QVERIFY(itemsNamed(scene.root(), "folderBackdrop").isEmpty());
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, centreOf(folders.first()));
    QVERIFY(scene.grid.hasOpenFolder());
    QTRY_COMPARE(itemsNamed(scene.root(), "folderBackdrop").size(), 1);
    // A click on the backdrop closes it again.
    QTest::mouseClick(&scene.view, Qt::LeftButton, {}, QPoint(20, 1000));
    QVERIFY(!scene.grid.hasOpenFolder());
    QTRY_VERIFY(itemsNamed(scene.root(), "folderBackdrop").isEmpty());
}

QTEST_MAIN(PagedGridViewTest)
#include "tst_pagedgridview.moc"
