#include "AppSettings.h"
#include "GridTestData.h"
#include "PageDots.h"
#include "PagedGrid.h"
#include "QmlTestView.h"
#include "RecordingDefaultsStore.h"
#include "StdoutCapture.h"
#include "TestMain.h"
#include "UuidText.h"

#include <QPainter>
#include <QScopeGuard>
#include <QTest>
#include <QtQuickTest/quicktest.h>

namespace {

// The grid view at the launcher's size; every request it makes is logged.
struct Scene {
    PagedGrid grid;
    AppList apps;
    QStringList log;
    QmlTestView qml{QSize(1920, 1055)};
    QQuickItem* root = nullptr;

    explicit Scene(int appCount)
        : apps(testApps(numberedCodes(appCount))) {
        grid.setApps(apps);
        grid.setRevealLabel(QStringLiteral("Show in Files"));
        const auto record = [this](const char* what) {
            return [this, what](const AppItem& app) { log << what + (' ' + app.name); };
        };
        QObject::connect(&grid, &PagedGrid::launchRequested, record("launch"));
        QObject::connect(&grid, &PagedGrid::hideRequested, record("hide"));
        QObject::connect(&grid, &PagedGrid::deleteRequested, record("delete"));
        QObject::connect(&grid, &PagedGrid::revealRequested, record("reveal"));
        root = qml.load("import Quorlin\nPagedGridView { width: 1920; height: 1055 }",
                        {{"grid", QVariant::fromValue(&grid)}});
    }

    [[nodiscard]] QQuickItem* cellOf(int app) const {
        for (QQuickItem* cell : itemsNamed(root, QStringLiteral("appCell"))) {
            if (cell->property("appId").toString() == uuidText(apps.at(app).id))
                return cell;
        }
        return nullptr;
    }
    [[nodiscard]] bool onScreen(int app) const {
        const QQuickItem* cell = cellOf(app);
        return cell &&
               QRectF(0, 0, 1920, 1055).contains(cell->mapRectToScene(cell->boundingRect()));
    }
    [[nodiscard]] int currentDot() const {
        return itemNamed(root, "pageDots")->property("current").toInt();
    }
};

} // namespace

class PagedGridViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pagesDotsAndPaging() {
        StdoutCapture capture;
        Scene scene(80);
        QVERIFY(scene.root);
        QCOMPARE(capture.lines().filter(QStringLiteral("PagedGridView")),
                 QStringList{QStringLiteral("PagedGridView loaded with 3 pages, 80 items")});
        QVERIFY(scene.onScreen(0) && scene.onScreen(34) && !scene.onScreen(35));
        // The dots are items a screen reader finds only while one listens.
        QVERIFY(itemsNamed(scene.root, QStringLiteral("pageDot")).isEmpty());
        QAccessible::setActive(true);
        const auto quiet = qScopeGuard([] { QAccessible::setActive(false); });
        const QList<QQuickItem*> dots = itemsNamed(scene.root, QStringLiteral("pageDot"));
        QCOMPARE(dots.size(), 3);
        // New dots are placed in the row before the next frame.
        QTRY_VERIFY(dots.at(2)->x() > dots.at(1)->x());

        scene.qml.click(dots.at(2));
        QTRY_VERIFY(scene.onScreen(70));
        QCOMPARE(scene.currentDot(), 2);
        // Scrolling up goes back a page.
        const QPointF at(960, 500);
        QWheelEvent wheel(at, at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&scene.qml.view(), &wheel);
        QTRY_VERIFY(scene.onScreen(35));
        QCOMPARE(scene.grid.currentPage(), 1);
    }

    // Left on screen a moment, the view builds the next page out of sight
    // (hidden, it waits until it is shown); once a page has been turned, the
    // pages either side of the one shown are built when the view is still, not
    // inside a turn, drawn only in view, and let go at once when a search starts.
    void neighboursBuiltAhead() {
        Scene scene(150);
        const auto pages = [&scene](bool visibleOnly) {
            const QList<QQuickItem*> all = itemsNamed(scene.root, QStringLiteral("gridPage"));
            return std::count_if(all.begin(), all.end(), [=](QQuickItem* page) {
                return !visibleOnly || page->isVisible();
            });
        };
        scene.qml.view().hide();
        QTest::qWait(PagedGrid::lingerMs + 200); // the time on screen is the input
        QVERIFY(!scene.grid.keepsNeighbours() && pages(false) == 1);
        scene.qml.view().show();
        QTRY_VERIFY(pages(false) == 2 && pages(true) == 1);
        scene.grid.setCurrentPage(1);
        QTRY_COMPARE(pages(false), 3);
        QVERIFY(scene.onScreen(35) && pages(true) == 1);
        scene.grid.setCurrentPage(2);
        QQuickItem* view = itemNamed(scene.root, "pages");
        QTRY_VERIFY(view->property("contentX").toReal() > 1920);
        QCOMPARE(pages(false), 3);
        QTRY_VERIFY(scene.onScreen(70) && !scene.cellOf(0));
        QTRY_VERIFY(scene.cellOf(105));
        scene.grid.setSearching(true);
        QCOMPARE(pages(false), 1);
    }

    // The focus ring is centred on its cell and the drop ring on the application
    // a drag rests on; the drop ring goes when the drag leaves.
    void ringsFollowTheirCells() {
        Scene scene(40);
        const auto ringOn = [&](const char* name, int app) {
            const QQuickItem* ring = itemNamed(scene.root, name);
            const QQuickItem* cell = scene.cellOf(app);
            return ring->isVisible() &&
                   ring->mapRectToScene(ring->boundingRect()).center().toPoint() ==
                       cell->mapRectToScene(cell->boundingRect()).center().toPoint();
        };
        scene.grid.navigate(Qt::Key_Down, false);
        QTRY_VERIFY(ringOn("focusRing", 0) && !itemNamed(scene.root, "dropRing")->isVisible());
        scene.grid.beginDrag(uuidText(scene.apps.at(2).id));
        const QString target = scene.cellOf(3)->property("cellId").toString();
        scene.grid.dropEntered(target);
        QTRY_VERIFY(ringOn("dropRing", 3) && ringOn("focusRing", 0));
        scene.grid.dropExited(target);
        QTRY_VERIFY(!itemNamed(scene.root, "dropRing")->isVisible());
    }

    // In edit mode every tile rocks, one built on a page turned to as well,
    // all as one; out of it they stand straight at once.
    void editModeRocksTheTiles() {
        Scene scene(40);
        QVERIFY(scene.root);
        const auto turns = [&] {
            QSet<qreal> angles;
            for (QQuickItem* icon : itemsNamed(scene.root, QStringLiteral("tileIcon"))) {
                if (icon->isVisible()) // pages out of view stand still
                    angles.insert(icon->rotation());
            }
            return angles;
        };
        scene.root->setProperty("isEditMode", true);
        scene.grid.setCurrentPage(1);
        QTRY_COMPARE(itemNamed(scene.root, "pages")->property("contentX").toReal(), 1920.0);
        QTRY_VERIFY(turns().size() == 1 && *turns().begin() > 0.5);
        scene.root->setProperty("isEditMode", false);
        QCOMPARE(turns(), QSet<qreal>{0});
    }

    // Three dots, 8 in from the edge, 7 wide and 17 apart: targets reach 5
    // around each dot and meet halfway between two.
    void pageDotTargets_data() {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("dot");
        QTest::addRow("the first") << QPointF(11.5, 11.5) << 0;
        QTest::addRow("just short of halfway") << QPointF(19.9, 11.5) << 0;
        QTest::addRow("just past halfway") << QPointF(20.1, 11.5) << 1;
        QTest::addRow("at the reach below") << QPointF(45.5, 20) << 2;
        QTest::addRow("beyond the reach above") << QPointF(45.5, 2.9) << -1;
        QTest::addRow("left of the first") << QPointF(2.9, 11.5) << -1;
        QTest::addRow("right of the last") << QPointF(54.1, 11.5) << -1;
    }

    void pageDotTargets() {
        QFETCH(QPointF, point);
        PageDots dots;
        dots.setCount(3);
        QTEST(dots.dotAt(point), "dot");
    }

    void pageDotsPaintTheCurrentOneWhole() {
        PageDots dots;
        dots.setCount(3);
        dots.setCurrent(1);
        QImage image(int(dots.implicitWidth()), int(dots.implicitHeight()),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        dots.paint(&painter);
        painter.end();
        QCOMPARE(image.pixel(28, 11), qRgba(255, 255, 255, 255));
        QCOMPARE(image.pixel(11, 11), image.pixel(45, 11));
        QVERIFY(qAlpha(image.pixel(11, 11)) < 255 && qGray(image.pixel(11, 11)) > 100);
    }

    // The open folder's view is made as a folder opens, for the folder open
    // now, and goes with it: no binding of an old view outlives its panel.
    void openFolderViewFollowsThePanel() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        RecordingDefaultsStore store;
        AppSettings settings(store);
        Scene scene(40);
        scene.grid.setSettings(&settings);
        const auto title = [&scene]() -> QString {
            const QQuickItem* title = itemNamed(scene.root, "folderTitle");
            return title ? title->property("text").toString() : QStringLiteral("none");
        };
        const QString one = uuidText(settings.createFolder("One", bundleIds({"0001"})).id);
        const QString two = uuidText(settings.createFolder("Two", bundleIds({"0002"})).id);
        scene.grid.openFolder(one);
        QTRY_COMPARE(title(), "One");
        // The pointer over the folder's backdrop does not reach the tile under it.
        QQuickItem* tile = itemNamed(scene.cellOf(2), "tileIcon")->parentItem()->parentItem();
        QTest::mouseMove(&scene.qml.view(), QmlTestView::centreOf(tile));
        QVERIFY(!tile->property("isHovered").toBool());
        scene.grid.openFolder(two);
        QTRY_COMPARE(title(), "Two");
        scene.grid.closeFolder();
        QTRY_COMPARE(title(), "none");
    }

    void tileActions_data() {
        QTest::addColumn<int>("entry"); // of the tile's menu; -1: a plain click on the tile
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("requests");
        // The application has one desktop action, shown first.
        QTest::addRow("click") << -1 << QString() << QStringList{"launch App 0003"};
        QTest::addRow("desktop action") << 0 << "New Window" << QStringList{"action App 0003 new"};
        QTest::addRow("separator after the actions") << 1 << QString() << QStringList{};
        QTest::addRow("Hide App") << 2 << "Hide App" << QStringList{"hide App 0003"};
        QTest::addRow("Delete App") << 3 << "Delete App" << QStringList{"delete App 0003"};
        QTest::addRow("separator") << 4 << QString() << QStringList{};
        QTest::addRow("reveal") << 5 << "Show in Files" << QStringList{"reveal App 0003"};
    }

    void tileActions() {
        QFETCH(int, entry);
        QFETCH(QString, text);
        QFETCH(QStringList, requests);
        Scene scene(10);
        QVERIFY(scene.root);
        scene.apps[2].actions = {{"new", "New Window", {}}};
        scene.grid.setApps(scene.apps);
        QObject::connect(&scene.grid, &PagedGrid::actionRequested, [&](auto& app, auto& id) {
            scene.log << "action " + app.name + ' ' + id;
        });
        scene.qml.click(scene.cellOf(2), entry < 0 ? Qt::LeftButton : Qt::RightButton);
        if (entry >= 0) {
            QObject* menu = itemNamed(scene.root, "gridPage")->findChild<QObject*>("appMenu");
            QTRY_VERIFY(menu->property("opened").toBool());
            // The entries put in as it opened are laid out in the frame after.
            QVERIFY(QQuickTest::qWaitForPolish(&scene.qml.view()));
            QCOMPARE(menu->property("count").toInt(), 6);
            QQuickItem* item = nullptr;
            QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, item),
                                      Q_ARG(int, entry));
            QCOMPARE(item->property("text").toString(), text);
            scene.qml.click(item);
        }
        QCOMPARE(scene.log, requests);
    }
};

QUORLIN_TEST(PagedGridViewTest)
#include "PagedGridViewTest.moc"
