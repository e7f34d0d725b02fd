#include "AppListModel.h"
#include "AppSettings.h"
#include "FolderPanel.h"
#include "GridTestData.h"
#include "PagedGrid.h"
#include "RecordingDefaultsStore.h"
#include "StdoutCapture.h"

#include <QAbstractItemModelTester>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace {

// A grid of 7 × 5 over its own settings store and a clock the test moves.
struct GridFixture {
    RecordingDefaultsStore store;
    AppSettings settings{store};
    PagedGrid grid;
    double now = 10.0;

    GridFixture() {
        grid.setClock([this] { return now; });
        grid.setSettings(&settings);
    }

    [[nodiscard]] QString cellId(int page, int row) const {
        return grid.page(page)
            ->data(grid.page(page)->index(row), GridPageModel::CellIdRole)
            .toString();
    }
    [[nodiscard]] QVariant role(int page, int row, int role) const {
        return grid.page(page)->data(grid.page(page)->index(row), role);
    }
    [[nodiscard]] QString appCell(const AppItem& app) const { return uuidText(app.id); }
    [[nodiscard]] QStringList pageNames(int page) const {
        return describeCells(grid.page(page)->items());
    }
    // Lets the changes of a finished drop run, as the event loop does after a drag.
    static void settle() { QCoreApplication::processEvents(); }
};

} // namespace

class PagedGridTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pagesFollowItemCount_data();
    void pagesFollowItemCount();
    void foldersFillTheFirstPages();
    void cellRoles();
    void modelsChangeByEditsNotResets();
    void randomUpdatesKeepModelsConsistent();
    void announceLine_data();
    void announceLine();
    void requestsCarryTheApplication();
    void unknownIdsAreIgnored();
    void currentPageAndDots();
    void wheelTurnsWholePages_data();
    void wheelTurnsWholePages();
    void folderActions();
    void folderPanelRequests();
    void resetViewState();

    void quickDropReorders();
    void reorderTranslatesThroughFoldersAndPages();
    void restedDropMakesAFolder();
    void dropOnFolderAddsOnce();
    void draggedTileIsDimmedAndRingFollowsTheDrag();
    void dragEndingWithoutDropClearsEverything();
    void dragsFromOtherProgramsAreRefused();
    void dragOverItselfIsRefused();
};

void PagedGridTest::pagesFollowItemCount_data() {
    QTest::addColumn<int>("apps");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("lastPageSize");

    QTest::addRow("nothing") << 0 << 0 << 0;
    QTest::addRow("one") << 1 << 1 << 1;
    QTest::addRow("exactly 35") << 35 << 1 << 35;
    QTest::addRow("36") << 36 << 2 << 1;
    QTest::addRow("80") << 80 << 3 << 10;
}

void PagedGridTest::pagesFollowItemCount() {
    QFETCH(int, apps);
    QFETCH(int, pages);
    QFETCH(int, lastPageSize);

    GridFixture f;
    QSignalSpy pageCountSpy(&f.grid, &PagedGrid::pageCountChanged);
    f.grid.setApps(testApps(numberedCodes(apps)));
    QCOMPARE(f.grid.pageCount(), pages);
    QCOMPARE(f.grid.pages()->rowCount(), pages);
    QCOMPARE(f.grid.itemCount(), apps);
    QCOMPARE(pageCountSpy.size(), pages == 0 ? 0 : 1);
    if (pages > 0)
        QCOMPARE(f.grid.page(pages - 1)->rowCount(), lastPageSize);
    QVERIFY(f.grid.page(pages) == nullptr);
}

void PagedGridTest::foldersFillTheFirstPages() {
    GridFixture f;
    for (int i = 0; i < 40; ++i)
        f.settings.createFolder(QStringLiteral("F%1").arg(i), {});
    f.grid.setApps(testApps({"A", "B"}));
    QCOMPARE(f.grid.pageCount(), 2);
    for (int row = 0; row < 35; ++row)
        QCOMPARE(f.role(0, row, GridPageModel::KindRole).toString(), QStringLiteral("folder"));
    QCOMPARE(f.pageNames(1), (QStringList{"F35", "F36", "F37", "F38", "F39", "A", "B"}));
}

void PagedGridTest::cellRoles() {
    GridFixture f;
    const AppList apps = testApps({"A", "B", "C"});
    const FolderItem folder = f.settings.createFolder(QStringLiteral("Web"), bundleIds({"B", "C"}));
    f.grid.setApps(apps);
    GridPageModel* page = f.grid.page(0);
    QCOMPARE(page->rowCount(), 2);

    const QHash<int, QByteArray> names = page->roleNames();
    for (const char* name :
         {"kind", "cellId", "appId", "name", "bundleIdentifier", "path", "iconSource", "folderId",
          "folderName", "previewIcons", "isDragged", "isDropTarget"})
        QVERIFY2(names.values().contains(name), name);

    QCOMPARE(f.role(0, 0, GridPageModel::KindRole).toString(), QStringLiteral("folder"));
    QCOMPARE(f.role(0, 0, GridPageModel::FolderIdRole).toString(), uuidText(folder.id));
    QCOMPARE(f.role(0, 0, GridPageModel::CellIdRole).toString(), uuidText(folder.id));
    QCOMPARE(f.role(0, 0, GridPageModel::FolderNameRole).toString(), QStringLiteral("Web"));
    QCOMPARE(f.role(0, 0, GridPageModel::PreviewIconsRole).toStringList(),
             (QStringList{"image://appicon/" + uuidText(apps.at(1).id),
                          "image://appicon/" + uuidText(apps.at(2).id)}));
    QCOMPARE(f.role(0, 0, GridPageModel::AppIdRole).toString(), QString());

    QCOMPARE(f.role(0, 1, GridPageModel::KindRole).toString(), QStringLiteral("app"));
    QCOMPARE(f.role(0, 1, GridPageModel::AppIdRole).toString(), uuidText(apps.at(0).id));
    QCOMPARE(f.role(0, 1, GridPageModel::NameRole).toString(), QStringLiteral("App A"));
    QCOMPARE(f.role(0, 1, GridPageModel::BundleIdentifierRole).toString(),
             QStringLiteral("org.test.a"));
    QCOMPARE(f.role(0, 1, GridPageModel::PathRole).toString(), apps.at(0).path);
    QCOMPARE(f.role(0, 1, GridPageModel::IconSourceRole).toString(),
             "image://appicon/" + uuidText(apps.at(0).id));
    QCOMPARE(f.role(0, 1, GridPageModel::IsDraggedRole).toBool(), false);
    QCOMPARE(f.role(0, 1, GridPageModel::IsDropTargetRole).toBool(), false);
}

void PagedGridTest::modelsChangeByEditsNotResets() {
    GridFixture f;
    const AppList apps = testApps({"A", "B", "C", "D"});
    f.grid.setApps(apps);
    GridPageModel* page = f.grid.page(0);
    QAbstractItemModelTester tester(page, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy resets(page, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(page, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(page, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(page, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(page, &QAbstractItemModel::dataChanged);

    // A folder of B and C: two cells leave, one arrives at the front.
    const FolderItem folder = f.settings.createFolder(QStringLiteral("F"), bundleIds({"B", "C"}));
    QCOMPARE(f.pageNames(0), (QStringList{"F", "A", "D"}));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(removed.size(), 1);

    // Reordering the catalogue moves cells.
    f.grid.setApps({apps.at(3), apps.at(1), apps.at(2), apps.at(0)});
    QCOMPARE(f.pageNames(0), (QStringList{"F", "D", "A"}));
    QCOMPARE(moved.size(), 1);

    // Renaming the folder changes one cell's data.
    changed.clear();
    f.settings.renameFolder(folder.id, QStringLiteral("G"));
    QCOMPARE(f.pageNames(0), (QStringList{"G", "D", "A"}));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 0);
    QCOMPARE(resets.size(), 0);
}

void PagedGridTest::randomUpdatesKeepModelsConsistent() {
    GridFixture f;
    f.grid.setLayout(4, 2);
    const AppList pool = testApps(numberedCodes(30));
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    std::mt19937 random(20240611);
    for (int round = 0; round < 60; ++round) {
        AppList apps = pool;
        std::shuffle(apps.begin(), apps.end(), random);
        apps.resize(static_cast<qsizetype>(random() % pool.size()));
        if (round % 7 == 3 && !apps.isEmpty())
            f.settings.createFolder(QStringLiteral("R%1").arg(round),
                                    {apps.first().bundleIdentifier});
        if (round % 11 == 5 && !f.settings.folders().isEmpty())
            f.settings.deleteFolder(f.settings.folders().first().id);
        f.grid.setApps(apps);
        for (int p = 0; p < f.grid.pageCount(); ++p) {
            if (static_cast<size_t>(p) >= testers.size())
                testers.push_back(std::make_unique<QAbstractItemModelTester>(
                    f.grid.page(p), QAbstractItemModelTester::FailureReportingMode::QtTest));
        }
        // Every page shows exactly its slice of the composed cells.
        QStringList shown;
        for (int p = 0; p < f.grid.pageCount(); ++p) {
            QVERIFY(f.grid.page(p)->rowCount() <= 8);
            shown += f.pageNames(p);
        }
        QCOMPARE(shown, describeCells(f.grid.gridItems()));
        testers.resize(static_cast<size_t>(f.grid.pageCount()));
    }
}

void PagedGridTest::announceLine_data() {
    QTest::addColumn<int>("apps");
    QTest::addColumn<int>("folders");
    QTest::addColumn<QString>("line");

    QTest::addRow("empty") << 0 << 0 << "PagedGridView loaded with 0 pages, 0 items";
    QTest::addRow("80 items") << 78 << 2 << "PagedGridView loaded with 3 pages, 80 items";
    QTest::addRow("one page") << 35 << 0 << "PagedGridView loaded with 1 pages, 35 items";
}

void PagedGridTest::announceLine() {
    QFETCH(int, apps);
    QFETCH(int, folders);
    QFETCH(QString, line);

    GridFixture f;
    for (int i = 0; i < folders; ++i)
        f.settings.createFolder(QStringLiteral("F%1").arg(i), {});
    StdoutCapture capture;
    f.grid.setApps(testApps(numberedCodes(apps)));
    QVERIFY(capture.lines().isEmpty());
    f.grid.announceLoaded();
    QCOMPARE(capture.lines(), QStringList{line});
}

void PagedGridTest::requestsCarryTheApplication() {
    GridFixture f;
    const AppList apps = testApps({"A", "B"});
    f.grid.setApps(apps);
    QSignalSpy launch(&f.grid, &PagedGrid::launchRequested);
    QSignalSpy remove(&f.grid, &PagedGrid::deleteRequested);
    QSignalSpy hide(&f.grid, &PagedGrid::hideRequested);
    QSignalSpy reveal(&f.grid, &PagedGrid::revealRequested);

    f.grid.launch(uuidText(apps.at(1).id));
    f.grid.requestDelete(uuidText(apps.at(0).id));
    f.grid.hide(uuidText(apps.at(1).id));
    f.grid.reveal(uuidText(apps.at(0).id));
    QCOMPARE(launch.size(), 1);
    QCOMPARE(launch.first().first().value<AppItem>().id, apps.at(1).id);
    QCOMPARE(remove.first().first().value<AppItem>().id, apps.at(0).id);
    QCOMPARE(hide.first().first().value<AppItem>().id, apps.at(1).id);
    QCOMPARE(reveal.first().first().value<AppItem>().id, apps.at(0).id);
    // Requests change nothing by themselves.
    QVERIFY(f.settings.hiddenApps().isEmpty());
    QCOMPARE(f.grid.itemCount(), 2);
}

void PagedGridTest::unknownIdsAreIgnored() {
    GridFixture f;
    f.grid.setApps(testApps({"A"}));
    QSignalSpy launch(&f.grid, &PagedGrid::launchRequested);
    const QString stranger = uuidText(QUuid::createUuid());
    for (const QString& id : {QString(), QStringLiteral("not a uuid"), stranger}) {
        f.grid.launch(id);
        f.grid.beginDrag(id);
        f.grid.openFolder(id);
        f.grid.deleteFolder(id);
        QVERIFY(!f.grid.dropEntered(id));
        QCOMPARE(f.grid.dropUpdated(id), int(Qt::IgnoreAction));
        f.grid.dropExited(id);
        QVERIFY(!f.grid.dropPerformed(id));
    }
    QCOMPARE(launch.size(), 0);
    QVERIFY(f.grid.draggedAppId().isEmpty());
    QVERIFY(!f.grid.hasOpenFolder());
}

void PagedGridTest::currentPageAndDots() {
    GridFixture f;
    f.grid.setApps(testApps(numberedCodes(80)));
    QSignalSpy spy(&f.grid, &PagedGrid::currentPageChanged);
    QCOMPARE(f.grid.currentPage(), 0);
    f.grid.setCurrentPage(2);
    QCOMPARE(f.grid.shownPage(), 2);
    f.grid.setCurrentPage(-1);
    QCOMPARE(f.grid.currentPage(), -1);
    QCOMPARE(f.grid.shownPage(), 0);
    QCOMPARE(spy.size(), 2);

    // Shrinking the grid under the shown page keeps the user on the last page.
    f.grid.setCurrentPage(2);
    f.grid.setApps(testApps(numberedCodes(40)));
    QCOMPARE(f.grid.currentPage(), 1);
    f.grid.setApps({});
    QCOMPARE(f.grid.currentPage(), 1);
    f.grid.setApps(testApps(numberedCodes(3)));
    QCOMPARE(f.grid.currentPage(), 0);
}

void PagedGridTest::wheelTurnsWholePages_data() {
    QTest::addColumn<QList<QPointF>>("deltas");
    QTest::addColumn<QList<double>>("gaps");
    QTest::addColumn<int>("startPage");
    QTest::addColumn<int>("endPage");

    QTest::addRow("one notch down") << QList<QPointF>{{0, -120}} << QList<double>{0} << 0 << 1;
    QTest::addRow("one notch up") << QList<QPointF>{{0, 120}} << QList<double>{0} << 1 << 0;
    QTest::addRow("a spin turns one page") << QList<QPointF>{{0, -120}, {0, -120}, {0, -120}}
                                           << QList<double>{0, 0.05, 0.05} << 0 << 1;
    QTest::addRow("two notches apart turn two pages")
        << QList<QPointF>{{0, -120}, {0, -120}} << QList<double>{0, 0.4} << 0 << 2;
    QTest::addRow("touchpad swipe left accumulates")
        << QList<QPointF>{{-30, 2}, {-30, 0}, {-30, 1}, {-30, 0}, {-30, 0}}
        << QList<double>{0, 0.01, 0.01, 0.01, 0.01} << 1 << 2;
    QTest::addRow("small nudge does nothing")
        << QList<QPointF>{{0, -40}} << QList<double>{0} << 1 << 1;
    QTest::addRow("nudges apart do not add up")
        << QList<QPointF>{{0, -60}, {0, -60}} << QList<double>{0, 0.5} << 1 << 1;
    QTest::addRow("no page before the first")
        << QList<QPointF>{{0, 120}} << QList<double>{0} << 0 << 0;
    QTest::addRow("no page after the last")
        << QList<QPointF>{{0, -120}} << QList<double>{0} << 2 << 2;
}

void PagedGridTest::wheelTurnsWholePages() {
    QFETCH(QList<QPointF>, deltas);
    QFETCH(QList<double>, gaps);
    QFETCH(int, startPage);
    QFETCH(int, endPage);

    GridFixture f;
    f.grid.setApps(testApps(numberedCodes(80)));
    f.grid.setCurrentPage(startPage);
    for (qsizetype i = 0; i < deltas.size(); ++i) {
        f.now += gaps.at(i);
        f.grid.scrollPages(deltas.at(i));
    }
    QCOMPARE(f.grid.currentPage(), endPage);
}

void PagedGridTest::folderActions() {
    GridFixture f;
    const FolderItem folder = f.settings.createFolder(QStringLiteral("F"), bundleIds({"A"}));
    const AppList apps = testApps({"A", "B"});
    f.grid.setApps(apps);
    QSignalSpy opened(&f.grid, &PagedGrid::openFolderChanged);

    f.grid.openFolder(uuidText(folder.id));
    QVERIFY(f.grid.hasOpenFolder());
    QCOMPARE(f.grid.openFolderId(), uuidText(folder.id));
    QVERIFY(f.grid.openFolderPanel());
    QVERIFY(!f.grid.openFolderPanel()->isEditing());
    QCOMPARE(f.grid.openFolderPanel()->folderName(), QStringLiteral("F"));
    f.grid.closeFolder();
    QVERIFY(!f.grid.hasOpenFolder());
    QVERIFY(!f.grid.openFolderPanel());

    // "Rename Folder" opens the panel with its title in the text field.
    f.grid.renameFolder(uuidText(folder.id));
    QVERIFY(f.grid.openFolderPanel());
    QVERIFY(f.grid.openFolderPanel()->isEditing());
    QCOMPARE(opened.size(), 3);

    // The open folder is the one as it was opened.
    f.settings.renameFolder(folder.id, QStringLiteral("G"));
    QCOMPARE(f.grid.openFolder()->name, QStringLiteral("F"));

    f.grid.closeFolder();
    f.grid.deleteFolder(uuidText(folder.id));
    QVERIFY(f.settings.folders().isEmpty());
    QCOMPARE(f.pageNames(0), (QStringList{"A", "B"}));
    // A folder that is gone does not open.
    f.grid.openFolder(uuidText(folder.id));
    QVERIFY(!f.grid.hasOpenFolder());
}

void PagedGridTest::folderPanelRequests() {
    GridFixture f;
    const FolderItem folder = f.settings.createFolder(QStringLiteral("F"), bundleIds({"A", "B"}));
    const AppList apps = testApps({"A", "B", "C"});
    f.grid.setApps(apps);
    f.grid.setRevealLabel(QStringLiteral("Show in Files"));
    QSignalSpy launch(&f.grid, &PagedGrid::launchRequested);
    QSignalSpy reveal(&f.grid, &PagedGrid::revealRequested);
    QSignalSpy hide(&f.grid, &PagedGrid::hideRequested);

    f.grid.openFolder(uuidText(folder.id));
    QPointer<FolderPanel> panel = f.grid.openFolderPanel();
    QCOMPARE(panel->revealLabel(), QStringLiteral("Show in Files"));
    QCOMPARE(panel->folderAppsModel()->rowCount(), 2);

    panel->reveal(uuidText(apps.at(1).id));
    QCOMPARE(reveal.size(), 1);
    QCOMPARE(reveal.first().first().value<AppItem>().id, apps.at(1).id);
    panel->hideApp(uuidText(apps.at(0).id));
    QCOMPARE(hide.size(), 1);
    QVERIFY(f.grid.hasOpenFolder());

    // The grid's list reaches the open panel: B leaves, so does its tile.
    f.grid.setApps({apps.at(0), apps.at(2)});
    QCOMPARE(panel->folderAppsModel()->rowCount(), 1);

    // Launching from the panel asks for the launch, then closes the panel.
    panel->launch(uuidText(apps.at(0).id));
    QCOMPARE(launch.size(), 1);
    QCOMPARE(launch.first().first().value<AppItem>().id, apps.at(0).id);
    QVERIFY(!f.grid.hasOpenFolder());
    QTRY_VERIFY(panel.isNull());

    // Its own close, and the folder disappearing, close it too.
    f.grid.openFolder(uuidText(folder.id));
    f.grid.openFolderPanel()->close();
    QVERIFY(!f.grid.hasOpenFolder());
    f.grid.openFolder(uuidText(folder.id));
    f.settings.deleteFolder(folder.id);
    QVERIFY(!f.grid.hasOpenFolder());
}

void PagedGridTest::resetViewState() {
    GridFixture f;
    const FolderItem folder = f.settings.createFolder(QStringLiteral("F"), {});
    const AppList apps = testApps(numberedCodes(50));
    f.grid.setApps(apps);
    f.grid.setCurrentPage(1);
    f.grid.openFolder(uuidText(folder.id));
    f.grid.beginDrag(uuidText(apps.at(3).id));
    f.grid.resetViewState();
    QCOMPARE(f.grid.currentPage(), 0);
    QVERIFY(!f.grid.hasOpenFolder());
    QVERIFY(f.grid.draggedAppId().isEmpty());
}

void PagedGridTest::quickDropReorders() {
    GridFixture f;
    const AppList apps = testApps({"A", "B", "C", "D"});
    f.grid.setApps(apps);
    QSignalSpy moves(&f.grid, &PagedGrid::moveRequested);

    f.grid.beginDrag(f.appCell(apps.at(2)));
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(0))));
    f.now += 0.2;
    QCOMPARE(f.grid.dropUpdated(f.appCell(apps.at(0))), int(Qt::MoveAction));
    QVERIFY(f.grid.dropPerformed(f.appCell(apps.at(0))));
    QVERIFY(f.grid.draggedAppId().isEmpty());
    // Carried out once the drag has ended, never inside it.
    f.settle();
    QCOMPARE(moves.size(), 0);
    f.grid.endDrag();
    QCOMPARE(moves.size(), 0);
    QTRY_COMPARE(moves.size(), 1);
    QCOMPARE(moves.first(), (QVariantList{2, 0}));
    QVERIFY(f.settings.folders().isEmpty());
}

void PagedGridTest::reorderTranslatesThroughFoldersAndPages() {
    GridFixture f;
    f.grid.setLayout(3, 1);
    // Items: F | A C D | E: B lives in the folder and is skipped everywhere.
    const AppList apps = testApps({"A", "B", "C", "D", "E"});
    f.settings.createFolder(QStringLiteral("F"), bundleIds({"B"}));
    f.grid.setApps(apps);
    QCOMPARE(f.pageNames(0), (QStringList{"F", "A", "C"}));
    QCOMPARE(f.pageNames(1), (QStringList{"D", "E"}));
    QSignalSpy moves(&f.grid, &PagedGrid::moveRequested);

    f.grid.beginDrag(f.appCell(apps.at(2)));
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(0))));
    QVERIFY(f.grid.dropPerformed(f.appCell(apps.at(0))));
    f.grid.endDrag();
    QTRY_COMPARE(moves.size(), 1);
    QCOMPARE(moves.takeFirst(), (QVariantList{2, 0}));

    f.grid.beginDrag(f.appCell(apps.at(4)));
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(3))));
    QVERIFY(f.grid.dropPerformed(f.appCell(apps.at(3))));
    f.grid.endDrag();
    QTRY_COMPARE(moves.size(), 1);
    QCOMPARE(moves.takeFirst(), (QVariantList{4, 3}));

    // Across pages the dragged application is not among the target page's
    // applications: the drop is taken and nothing moves.
    f.grid.beginDrag(f.appCell(apps.at(0)));
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(4))));
    QVERIFY(f.grid.dropPerformed(f.appCell(apps.at(4))));
    f.grid.endDrag();
    f.settle();
    QCOMPARE(moves.size(), 0);
}

void PagedGridTest::restedDropMakesAFolder() {
    GridFixture f;
    AppList apps = testApps({"A", "B", "C"});
    apps[0].name = QStringLiteral("Firefox");
    apps[2].name = QStringLiteral("Terminal");
    f.settings.createFolder(QStringLiteral("Old"), {});
    f.grid.setApps(apps);
    QSignalSpy moves(&f.grid, &PagedGrid::moveRequested);

    f.grid.beginDrag(f.appCell(apps.at(2)));
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(0))));
    f.now += 0.3;
    QCOMPARE(f.grid.dropUpdated(f.appCell(apps.at(0))), int(Qt::MoveAction));
    f.now += 0.2;
    QCOMPARE(f.grid.dropUpdated(f.appCell(apps.at(0))), int(Qt::CopyAction));
    QVERIFY(f.grid.dropPerformed(f.appCell(apps.at(0))));
    f.grid.endDrag();
    QTRY_COMPARE(f.settings.folders().size(), 2);

    const FolderItem made = f.settings.folders().at(1);
    QCOMPARE(made.name, QStringLiteral("Web"));
    QCOMPARE(made.appBundleIds, (QStringList{"org.test.c", "org.test.a"}));
    QCOMPARE(moves.size(), 0);
    QVERIFY(!f.grid.hasOpenFolder());
    QCOMPARE(f.pageNames(0), (QStringList{"Old", "Web", "B"}));
}

void PagedGridTest::dropOnFolderAddsOnce() {
    GridFixture f;
    const AppList apps = testApps({"A", "B"});
    const FolderItem folder = f.settings.createFolder(QStringLiteral("F"), {});
    f.grid.setApps(apps);
    const QString folderCell = uuidText(folder.id);
    const qsizetype writesBefore = f.store.writeCount(AppSettings::foldersKey);

    f.grid.beginDrag(f.appCell(apps.at(1)));
    QVERIFY(f.grid.dropEntered(folderCell));
    QVERIFY(f.role(0, 0, GridPageModel::IsDropTargetRole).toBool());
    QCOMPARE(f.grid.dropUpdated(folderCell), int(Qt::CopyAction));
    f.now += 2.0;
    QCOMPARE(f.grid.dropUpdated(folderCell), int(Qt::CopyAction));
    QVERIFY(f.grid.dropPerformed(folderCell));
    QVERIFY(!f.role(0, 0, GridPageModel::IsDropTargetRole).toBool());
    QVERIFY(f.grid.draggedAppId().isEmpty());
    // A second perform (the platform delivering to a nested target) adds nothing.
    QVERIFY(!f.grid.dropPerformed(folderCell));
    f.grid.endDrag();
    QTRY_COMPARE(f.settings.folders().first().appBundleIds, QStringList{"org.test.b"});
    f.settle();
    QCOMPARE(f.store.writeCount(AppSettings::foldersKey), writesBefore + 1);
    QCOMPARE(f.pageNames(0), (QStringList{"F", "A"}));
}

void PagedGridTest::draggedTileIsDimmedAndRingFollowsTheDrag() {
    GridFixture f;
    f.grid.setLayout(2, 1);
    const AppList apps = testApps({"A", "B", "C", "D"});
    f.grid.setApps(apps);
    QSignalSpy changed(f.grid.page(0), &QAbstractItemModel::dataChanged);

    f.grid.beginDrag(f.appCell(apps.at(0)));
    QCOMPARE(f.grid.draggedAppId(), uuidText(apps.at(0).id));
    QVERIFY(f.role(0, 0, GridPageModel::IsDraggedRole).toBool());
    QVERIFY(!f.role(0, 1, GridPageModel::IsDraggedRole).toBool());
    QCOMPARE(changed.size(), 1);

    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(1))));
    QVERIFY(f.role(0, 1, GridPageModel::IsDropTargetRole).toBool());
    QVERIFY(!f.role(0, 0, GridPageModel::IsDropTargetRole).toBool());
    f.grid.dropExited(f.appCell(apps.at(1)));
    QVERIFY(!f.role(0, 1, GridPageModel::IsDropTargetRole).toBool());

    // The other page has its own ring.
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(3))));
    QVERIFY(f.role(1, 1, GridPageModel::IsDropTargetRole).toBool());
    QVERIFY(f.grid.page(0)->hover().dropTargetApp == std::nullopt);
}

void PagedGridTest::dragEndingWithoutDropClearsEverything() {
    GridFixture f;
    const AppList apps = testApps({"A", "B", "C"});
    const FolderItem folder = f.settings.createFolder(QStringLiteral("F"), {});
    f.grid.setApps(apps);
    QSignalSpy moves(&f.grid, &PagedGrid::moveRequested);

    f.grid.beginDrag(f.appCell(apps.at(0)));
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(1))));
    QVERIFY(f.grid.dropEntered(uuidText(folder.id)));
    f.grid.endDrag();
    QVERIFY(f.grid.draggedAppId().isEmpty());
    for (int row = 0; row < f.grid.page(0)->rowCount(); ++row) {
        QVERIFY(!f.role(0, row, GridPageModel::IsDraggedRole).toBool());
        QVERIFY(!f.role(0, row, GridPageModel::IsDropTargetRole).toBool());
    }
    QVERIFY(!f.grid.page(0)->hover().hoverStartTime);
    f.settle();
    QCOMPARE(moves.size(), 0);
    QVERIFY(f.settings.folders().first().appBundleIds.isEmpty());
}

void PagedGridTest::dragsFromOtherProgramsAreRefused() {
    GridFixture f;
    const AppList apps = testApps({"A", "B"});
    const FolderItem folder = f.settings.createFolder(QStringLiteral("F"), {});
    f.grid.setApps(apps);
    QSignalSpy moves(&f.grid, &PagedGrid::moveRequested);

    // Application tiles take the enter but answer forbidden; folders refuse it.
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(0))));
    QVERIFY(!f.role(0, 1, GridPageModel::IsDropTargetRole).toBool());
    QCOMPARE(f.grid.dropUpdated(f.appCell(apps.at(0))), int(Qt::IgnoreAction));
    QVERIFY(!f.grid.dropPerformed(f.appCell(apps.at(0))));
    QVERIFY(!f.grid.dropEntered(uuidText(folder.id)));
    QVERIFY(!f.role(0, 0, GridPageModel::IsDropTargetRole).toBool());
    QCOMPARE(f.grid.dropUpdated(uuidText(folder.id)), int(Qt::IgnoreAction));
    QVERIFY(!f.grid.dropPerformed(uuidText(folder.id)));
    f.settle();
    QCOMPARE(moves.size(), 0);
    QVERIFY(f.settings.folders().first().appBundleIds.isEmpty());
}

void PagedGridTest::dragOverItselfIsRefused() {
    GridFixture f;
    const AppList apps = testApps({"A", "B"});
    f.grid.setApps(apps);
    f.grid.beginDrag(f.appCell(apps.at(1)));
    QVERIFY(f.grid.dropEntered(f.appCell(apps.at(1))));
    QVERIFY(!f.role(0, 1, GridPageModel::IsDropTargetRole).toBool());
    f.now += 1.0;
    QCOMPARE(f.grid.dropUpdated(f.appCell(apps.at(1))), int(Qt::IgnoreAction));
    QVERIFY(!f.grid.dropPerformed(f.appCell(apps.at(1))));
    QVERIFY(f.grid.draggedAppId().isEmpty());
    f.grid.endDrag();
    f.settle();
    QVERIFY(f.settings.folders().isEmpty());
}

QTEST_GUILESS_MAIN(PagedGridTest)
#include "tst_pagedgrid.moc"
