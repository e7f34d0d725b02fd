#include "AppSettings.h"
#include "GridComposition.h"
#include "GridTestData.h"
#include "MoveTranslation.h"
#include "RecordingDefaultsStore.h"

#include <QTest>

// Folders for data rows, written "name:code,code;name:..." where codes become
// bundle identifiers as testApp() makes them.
static void addFolders(AppSettings& settings, const QString& layout) {
    if (layout.isEmpty())
        return;
    for (const QString& folder : layout.split(QLatin1Char(';'))) {
        const QString name = folder.section(QLatin1Char(':'), 0, 0);
        const QString members = folder.section(QLatin1Char(':'), 1);
        settings.createFolder(name, members.isEmpty() ? QStringList()
                                                      : bundleIds(members.split(QLatin1Char(','))));
    }
}

class GridCompositionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void composition_data();
    void composition();
    void sameBundleIdentifierLeavesTogether();
    void cellIds();
    void paging_data();
    void paging();
    void pageAppsSkipFolders();
    void translateMove_data();
    void translateMove();
    void catalogueMappingWhileSearching_data();
    void catalogueMappingWhileSearching();
};

void GridCompositionTest::composition_data() {
    QTest::addColumn<QString>("folders");
    QTest::addColumn<QStringList>("apps");
    QTest::addColumn<QStringList>("expected");

    QTest::addRow("nothing at all") << QString() << QStringList() << QStringList();
    QTest::addRow("applications only keep their order")
        << QString() << QStringList{"C", "A", "B"} << QStringList{"C", "A", "B"};
    QTest::addRow("folders first, members left out")
        << "F1:;F2:B" << QStringList{"A", "B", "C"} << QStringList{"F1", "F2", "A", "C"};
    QTest::addRow("folder of absent applications is still listed")
        << "F1:X,Y" << QStringList{"A"} << QStringList{"F1", "A"};
    QTest::addRow("empty folder with no applications")
        << "F1:" << QStringList() << QStringList{"F1"};
    QTest::addRow("application in two folders is left out once")
        << "F1:A;F2:A,B" << QStringList{"A", "B", "C"} << QStringList{"F1", "F2", "C"};
    QTest::addRow("folders keep stored order")
        << "Zeta:;Alpha:" << QStringList{"A"} << QStringList{"Zeta", "Alpha", "A"};
}

void GridCompositionTest::composition() {
    QFETCH(QString, folders);
    QFETCH(QStringList, apps);
    QFETCH(QStringList, expected);

    RecordingDefaultsStore store;
    AppSettings settings(store);
    addFolders(settings, folders);
    QCOMPARE(describeCells(composeGridItems(testApps(apps), settings)), expected);
}

void GridCompositionTest::sameBundleIdentifierLeavesTogether() {
    RecordingDefaultsStore store;
    AppSettings settings(store);
    AppList apps = testApps({"A", "B"});
    AppItem twin = testApp("A");
    twin.name = QStringLiteral("App A2");
    apps.insert(1, twin);
    QCOMPARE(describeCells(composeGridItems(apps, settings)), (QStringList{"A", "A2", "B"}));
    addFolders(settings, "F:A");
    QCOMPARE(describeCells(composeGridItems(apps, settings)), (QStringList{"F", "B"}));
}

void GridCompositionTest::cellIds() {
    const AppItem app = testApp("A");
    const GridItemType appCell(app);
    QCOMPARE(appCell.id(), app.id.toString(QUuid::WithoutBraces).toUpper());
    QCOMPARE(appCell.id().size(), 36);
    QVERIFY(appCell.isApp() && !appCell.isFolder());
    QVERIFY(appCell.folder() == nullptr);

    const FolderItem folder{QUuid::createUuid(), QStringLiteral("F"), {}};
    const GridItemType folderCell(folder);
    QCOMPARE(folderCell.id(), folder.id.toString(QUuid::WithoutBraces).toUpper());
    QVERIFY(folderCell.isFolder() && folderCell.app() == nullptr);
    QCOMPARE(folderCell.folder()->name, QStringLiteral("F"));
}

void GridCompositionTest::paging_data() {
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<QList<int>>("pageSizes");

    QTest::addRow("no items, no page") << 0 << 35 << QList<int>{};
    QTest::addRow("one item") << 1 << 35 << QList<int>{1};
    QTest::addRow("exactly one page") << 35 << 35 << QList<int>{35};
    QTest::addRow("one over a page") << 36 << 35 << QList<int>{35, 1};
    QTest::addRow("80 items") << 80 << 35 << QList<int>{35, 35, 10};
    QTest::addRow("page of one") << 3 << 1 << QList<int>{1, 1, 1};
    QTest::addRow("bad page size acts as one") << 2 << 0 << QList<int>{1, 1};
}

void GridCompositionTest::paging() {
    QFETCH(int, items);
    QFETCH(int, pageSize);
    QFETCH(QList<int>, pageSizes);

    GridItemList cells;
    const AppList apps = testApps(numberedCodes(items));
    for (const AppItem& app : apps)
        cells.append(GridItemType(app));

    QCOMPARE(pageCount(items, pageSize), pageSizes.size());
    QStringList joined;
    for (int page = 0; page < pageSizes.size(); ++page) {
        const GridItemList slice = pageItems(cells, page, pageSize);
        QCOMPARE(slice.size(), pageSizes.at(page));
        joined += describeCells(slice);
    }
    QCOMPARE(joined, describeCells(cells));
    QVERIFY(pageItems(cells, static_cast<int>(pageSizes.size()), pageSize).isEmpty());
    QVERIFY(pageItems(cells, -1, pageSize).isEmpty());
}

void GridCompositionTest::pageAppsSkipFolders() {
    RecordingDefaultsStore store;
    AppSettings settings(store);
    addFolders(settings, "F1:;F2:");
    const GridItemList items = composeGridItems(testApps({"A", "B"}), settings);
    QCOMPARE(items.size(), 4);
    QStringList names;
    for (const AppItem& app : pageApps(items))
        names.append(app.name);
    QCOMPARE(names, (QStringList{"App A", "App B"}));
}

void GridCompositionTest::translateMove_data() {
    // The page holds folders and applications; the grid's list also holds the
    // folder members and the applications of other pages.
    QTest::addColumn<QStringList>("appsList");
    QTest::addColumn<QString>("folders");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("expectedFrom"); // -1: nothing is moved
    QTest::addColumn<int>("expectedTo");

    const QStringList list{"A", "B", "C", "D", "E", "F"};
    QTest::addRow("third onto first, folders before")
        << list << "F1:B;F2:" << 35 << 0 << 2 << 0 << 3 << 0;
    QTest::addRow("first onto last") << list << "F1:B" << 35 << 0 << 0 << 4 << 0 << 5;
    QTest::addRow("second page positions") << list << "F1:" << 3 << 1 << 2 << 0 << 4 << 2;
    QTest::addRow("from outside the page") << list << QString() << 35 << 0 << 6 << 0 << -1 << -1;
    QTest::addRow("negative to") << list << QString() << 35 << 0 << 1 << -1 << -1 << -1;
    QTest::addRow("same place") << list << QString() << 35 << 0 << 2 << 2 << 2 << 2;
}

void GridCompositionTest::translateMove() {
    QFETCH(QStringList, appsList);
    QFETCH(QString, folders);
    QFETCH(int, pageSize);
    QFETCH(int, page);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, expectedFrom);
    QFETCH(int, expectedTo);

    RecordingDefaultsStore store;
    AppSettings settings(store);
    addFolders(settings, folders);
    const AppList apps = testApps(appsList);
    const AppList onPage = pageApps(pageItems(composeGridItems(apps, settings), page, pageSize));
    const std::optional<MovePositions> move = ::translateMove(onPage, apps, from, to);
    if (expectedFrom < 0) {
        QVERIFY(!move);
        return;
    }
    QVERIFY(move);
    QCOMPARE(*move, MovePositions(expectedFrom, expectedTo));
    QCOMPARE(apps.at(move->first).id, onPage.at(from).id);
    QCOMPARE(apps.at(move->second).id, onPage.at(to).id);
}

void GridCompositionTest::catalogueMappingWhileSearching_data() {
    QTest::addColumn<QList<int>>("shownFromPublished"); // positions kept by the search
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("expectedFrom");
    QTest::addColumn<int>("expectedTo");

    QTest::addRow("no search: identity") << QList<int>{0, 1, 2, 3, 4} << 3 << 1 << 3 << 1;
    QTest::addRow("search keeps every other") << QList<int>{1, 3, 5} << 2 << 0 << 5 << 1;
    QTest::addRow("search keeps the tail") << QList<int>{4, 5} << 0 << 1 << 4 << 5;
    QTest::addRow("position outside the shown list") << QList<int>{1, 3} << 2 << 0 << -1 << -1;
    QTest::addRow("shown application no longer published")
        << QList<int>{1, -1, 3} << 1 << 0 << -1 << -1;
}

void GridCompositionTest::catalogueMappingWhileSearching() {
    QFETCH(QList<int>, shownFromPublished);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, expectedFrom);
    QFETCH(int, expectedTo);

    const AppList published = testApps({"A", "B", "C", "D", "E", "F"});
    AppList shown;
    for (int index : shownFromPublished)
        shown.append(index < 0 ? testApp("X") : published.at(index));
    const std::optional<MovePositions> move = mapMoveToCatalogue(shown, published, from, to);
    if (expectedFrom < 0) {
        QVERIFY(!move);
        return;
    }
    QVERIFY(move);
    QCOMPARE(*move, MovePositions(expectedFrom, expectedTo));
}

QTEST_GUILESS_MAIN(GridCompositionTest)
#include "tst_gridcomposition.moc"
