#include "PagedGrid.h"
#include "AppSettings.h"
#include "GridTestData.h"
#include "MoveTranslation.h"
#include "RecordingDefaultsStore.h"
#include "SearchRule.h"
#include "TestMain.h"
#include "UuidText.h"

#include <QAbstractItemModelTester>
#include <QKeySequence>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <tuple>

namespace {

// Pages of 3: [F A C] [D E], with B inside folder F; a clock the test moves,
// and the moves the grid asks the main screen for.
struct GridFixture {
    RecordingDefaultsStore store;
    AppSettings settings{store};
    PagedGrid grid;
    double now = 10;
    AppList apps = testApps({"A", "B", "C", "D", "E"});
    FolderItem folder = settings.createFolder(QStringLiteral("F"), bundleIds({"B"}));
    QSignalSpy moves{&grid, &PagedGrid::moveRequested};

    GridFixture() {
        grid.setClock([this] { return now; });
        grid.setSettings(&settings);
        grid.setLayout(3, 1);
        grid.setApps(apps);
    }

    [[nodiscard]] QString cell(const QString& code) const {
        return uuidText(code == "F" ? folder.id : apps.at(code[0].unicode() - 'A').id);
    }
    [[nodiscard]] bool role(const QString& code, int role) const {
        for (int p = 0; !code.isEmpty() && p < grid.pageCount(); ++p) {
            if (const int row = grid.page(p)->rowOf(cell(code)); row >= 0)
                return grid.page(p)->index(row).data(role).toBool();
        }
        return false;
    }
    // What drops changed: the moves asked for, then every folder as "name:members".
    [[nodiscard]] QString outcome() const {
        QStringList result;
        for (const QList<QVariant>& move : moves)
            result << QStringLiteral("move %1 %2").arg(move.at(0).toInt()).arg(move.at(1).toInt());
        for (const FolderItem& each : settings.folders())
            result << each.name + ':' + each.appBundleIds.join(',').remove("org.test.");
        return result.join(", ");
    }
};

// Every role of every cell, with its page.
QVariantList cellData(const PagedGrid& grid) {
    QVariantList data;
    for (int p = 0; p < grid.pageCount(); ++p)
        for (int row = 0; row < grid.page(p)->rowCount(); ++row)
            for (int role = GridPageModel::KindRole; role <= GridPageModel::IsDropTargetRole;
                 ++role)
                data << p << grid.page(p)->index(row).data(role);
    return data;
}

} // namespace

class PagedGridTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // From [F A C] [D E]: the new cells, and the pages changing row by row so
    // that tiles on screen keep their state.
    void pages_data() {
        QTest::addColumn<QString>("folders"); // added, "name:codes;name:codes"
        QTest::addColumn<QStringList>("apps");
        QTest::addColumn<QString>("pages");

        QTest::addRow("applications keep their order") << "" << QStringList{"C", "A"} << "F C A";
        QTest::addRow("folders first, members left out")
            << "Zeta:C;Alpha:" << QStringList{"A", "B", "C", "D", "E"} << "F Zeta Alpha|A D E";
        QTest::addRow("folder of absent applications") << "G:X" << QStringList{"A"} << "F G A";
        QTest::addRow("application in two folders")
            << "G:A,B" << QStringList{"A", "B", "C"} << "F G C";
    }

    void pages() {
        QFETCH(QString, folders);
        QFETCH(QStringList, apps);
        QFETCH(QString, pages);

        GridFixture f;
        for (const QString& folder : folders.split(';', Qt::SkipEmptyParts))
            f.settings.createFolder(folder.section(':', 0, 0),
                                    bundleIds(folder.section(':', 1).split(',')));
        f.grid.setApps(testApps(apps));
        QStringList shown;
        for (int p = 0; p < f.grid.pageCount(); ++p)
            shown << describeCells(f.grid.page(p)->items()).join(' ');
        QCOMPARE(shown.join('|'), pages);
        QSignalSpy changed(f.grid.page(0), &QAbstractItemModel::dataChanged);
        f.settings.renameFolder(f.folder.id, QStringLiteral("Renamed"));
        QCOMPARE(changed.value(0).value(0).toModelIndex().data(GridPageModel::NameRole).toString(),
                 QStringLiteral("Renamed"));
    }

    // Keys typed, deleted, pasted and cleared over several pages: after each the
    // pages hold what pages built afresh hold, and the pages a view watches
    // changed by rows alone: a cell still on its page is the same row, moved
    // rather than rebuilt, and a row either keeps its cell or passes from a
    // leaving cell to a newcomer, so rows come and go only as a page grows or
    // shrinks. Pages nobody watches (every other one here, as pages off screen)
    // catch up when they are read.
    void searchChangesPagesRowByRow() {
        GridFixture f;
        const AppList all = testApps(QString("ab a aB bc b c cA A AB B Ba ca Cb").split(' '));
        f.settings.createFolder(QStringLiteral("G"), bundleIds({"ab", "a", "c", "A"}));
        const auto reporting = QAbstractItemModelTester::FailureReportingMode::QtTest;
        QRandomGenerator random(7);
        QString text;
        for (int step = 0; step < 3000; ++step) {
            // Rows inserted and removed, and the rows before, of each watched page.
            QHash<GridPageModel*, std::tuple<int, int, int>> edits;
            QObject watching;
            QList<std::tuple<QPointer<GridPageModel>, QPersistentModelIndex, QUuid>> before;
            // Every other page is watched, which ones changing from step to step.
            int watched = step;
            for (GridPageModel* page : f.grid.pages()->pages()) {
                if (++watched % 2)
                    continue;
                new QAbstractItemModelTester(page, reporting, &watching);
                connect(page, &QAbstractItemModel::modelReset, &watching, [] { QFAIL("reset"); });
                edits[page] = {0, 0, page->rowCount()};
                connect(page, &QAbstractItemModel::rowsInserted, &watching,
                        [&edits, page](auto, int first, int last) {
                            std::get<0>(edits[page]) += last - first + 1;
                        });
                connect(page, &QAbstractItemModel::rowsRemoved, &watching,
                        [&edits, page](auto, int first, int last) {
                            std::get<1>(edits[page]) += last - first + 1;
                        });
                for (int row = 0; row < page->rowCount(); ++row)
                    before.append({page, page->index(row), page->cells().at(row).item.uuid()});
            }
            // One key typed (0 to 2) or deleted (3), three pasted (4), or all cleared (5).
            const int key = random.bounded(6), at = random.bounded(6);
            const QString typed = QString("abcAB ca").sliced(at, key == 4 ? 3 : 1);
            text = key == 5 ? QString() : key == 3 ? text.left(text.size() - 1) : text + typed;
            f.grid.setApps(filterApps(all, text));
            PagedGrid fresh;
            fresh.setSettings(&f.settings);
            fresh.setLayout(3, 1);
            fresh.setApps(filterApps(all, text));
            QCOMPARE(cellData(f.grid), cellData(fresh));
            // A cell that left may hand its row (its tile) to a newcomer.
            const auto newcomerAt = [&before](GridPageModel* page, const QModelIndex& index) {
                const QUuid now = page->cells().at(index.row()).item.uuid();
                return std::none_of(before.cbegin(), before.cend(), [&](const auto& was) {
                    return std::get<0>(was) == page && std::get<2>(was) == now;
                });
            };
            // Tiles are built only as a page grows and dropped only as it shrinks.
            for (auto [page, edit] : edits.asKeyValueRange()) {
                const int grown = page->rowCount() - std::get<2>(edit);
                QCOMPARE(std::get<0>(edit), std::max(grown, 0));
                QCOMPARE(std::get<1>(edit), std::max(-grown, 0));
            }
            for (const auto& [page, index, id] : before) {
                const int row = page ? page->rowOf(id) : -1;
                QVERIFY(index.row() == row ||
                        (row < 0 && index.isValid() && newcomerAt(page, index)));
            }
        }
    }

    void currentPageFollowsThePages() {
        GridFixture f;
        f.grid.setApps(testApps(numberedCodes(8))); // 3 pages
        f.grid.setCurrentPage(2);
        f.grid.setApps(testApps(numberedCodes(5)));
        QCOMPARE(f.grid.currentPage(), 1);
        // With no page at all the choice waits for pages to come back.
        f.settings.deleteFolder(f.folder.id);
        f.grid.setApps({});
        QCOMPARE(f.grid.currentPage(), 1);
    }

    // Pages of 2 x 2, [F A / C D] [E]: whether each key was taken, then the
    // ring's cell, the page shown, and what was launched or opened.
    void keyboard_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("searching");
        QTest::addColumn<QString>("outcome");
        // clang-format off
        QTest::addRow("the first arrow shows the ring") << "Down" << false << "y F 0";
        QTest::addRow("down a row, then on to the next page") << "Down Down Down" << false << "yyy E 1";
        QTest::addRow("past the last column and back") << "Down Right Right Left" << false << "yyyy A 0";
        QTest::addRow("nothing before the first page") << "Down Up Left" << false << "yyy F 0";
        QTest::addRow("left and right move only a ring") << "Left Right Home" << false << "nnn - 0";
        QTest::addRow("a page turned carries the ring") << "Down Down Right PgDown" << false << "yyyy E 1";
        QTest::addRow("pages turned without a ring") << "PgDown PgDown" << false << "yy - 1";
        QTest::addRow("control moves the application, the ring along") << "Ctrl+Right Down Right Ctrl+Down Ctrl+Right" << false << "nyyyy A 0 move 0 3 move 0 4";
        QTest::addRow("enter on a folder opens it") << "Down Return" << false << "yy F 0 open F";
        QTest::addRow("enter on an application") << "Down Right Enter" << false << "yyy A 0 launch App A";
        QTest::addRow("enter while searching: the first application") << "Return" << true << "y - 0 launch App A";
        QTest::addRow("enter with nothing to act on") << "Return" << false << "n - 0";
        QTest::addRow("the menu of the ring's cell") << "Menu Down Menu Right Shift+F10" << false << "nyyyy A 0 menu F menu A";
        // clang-format on
    }

    void keyboard() {
        QFETCH(QString, keys);
        QFETCH(bool, searching);
        QFETCH(QString, outcome);
        GridFixture f;
        f.grid.setLayout(2, 2);
        QSignalSpy launched(&f.grid, &PagedGrid::launchRequested);
        QSignalSpy menus(&f.grid, &PagedGrid::menuRequested);
        QString taken;
        for (const QString& key : keys.split(' '))
            taken += f.grid.navigate(QKeySequence(key)[0].toCombined(), searching) ? 'y' : 'n';
        const auto code = [&f](const QString& cellId) {
            QString found = "-";
            for (const QString code : {"F", "A", "C", "D", "E"})
                found = cellId == f.cell(code) ? code : found;
            return found;
        };
        QStringList result{taken, code(f.grid.focusedCellId()),
                           QString::number(f.grid.shownPage())};
        if (f.grid.hasOpenFolder())
            result << "open " + f.grid.openFolder()->name;
        if (!launched.isEmpty())
            result << "launch " + launched.value(0).value(0).value<AppItem>().name;
        for (const QList<QVariant>& menu : menus)
            result << "menu " + code(menu.at(0).toString());
        for (const QList<QVariant>& move : f.moves)
            result << QString("move %1 %2").arg(move.at(0).toInt()).arg(move.at(1).toInt());
        QCOMPARE(result.join(' '), outcome);
    }

    // Events "<what><seconds since the last>[=<page shown then>]" over three
    // pages 1920 wide: w a notch down, t a step of a touchpad's swipe to the
    // left; under a drag, L and R at the sides, r nearer the middle but still
    // at the right, M mid-grid, a to c over the dots of pages 0 to 2.
    void paging_data() {
        QTest::addColumn<QString>("events");
        QTest::addRow("a notch down") << "w0=1";
        QTest::addRow("a spin turns one page") << "w0 w0.05=1";
        QTest::addRow("notches apart turn a page each") << "w0 w0.4=2";
        QTest::addRow("no page after the last") << "w0 w0.4 w0.4=2";
        QTest::addRow("touchpad swipe left adds up") << "t0 t0.01=0 t0.01=1";
        QTest::addRow("rest at the right, again, no page after the last")
            << "R0 r0.46875=0 r0.03125=1 R0.25=1 R0.25=2 R0.5=2";
        QTest::addRow("rest at the left, down to the first") << "w0 w0.5=2 L0 L0.5=1 L0.5=0 L0.5=0";
        QTest::addRow("going elsewhere restarts the rest")
            << "R0 M0.25 R0.25 R0.25=0 R0.25=1 M0.25 M1=1 R0.25 L0.25 L0.25=1 L0.25=0";
        QTest::addRow("a dot shows its page") << "c0 c0.25=0 c0.25=2 c0.5=2 R0.25 b0.25 b0.5=1";
    }

    void paging() {
        QFETCH(QString, events);

        GridFixture f;
        const AppList apps = testApps(numberedCodes(8));
        f.grid.setApps(apps);
        f.grid.beginDrag(uuidText(apps.at(0).id));
        for (const QString& event : events.split(' ')) {
            const QChar what = event[0];
            f.now += event.mid(1).section('=', 0, 0).toDouble();
            const double x = what == 'L' ? 10 : what == 'R' ? 1910 : what == 'r' ? 1870 : 960;
            if (what == 'w' || what == 't')
                f.grid.scrollPages(what == 'w' ? QPointF(0, -120) : QPointF(-30, 1));
            else
                f.grid.dragHovered(x, 1920, what >= 'a' && what <= 'c' ? what.unicode() - 'a' : -1);
            if (event.contains('='))
                QCOMPARE(f.grid.shownPage(), event.section('=', 1).toInt());
        }
    }

    void drop_data() {
        QTest::addColumn<QString>("drag"); // "C>A": C onto A; ">A": a drag from another program
        QTest::addColumn<double>("rest");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("outcome");

        const int move = Qt::MoveAction, copy = Qt::CopyAction, refused = Qt::IgnoreAction;
        QTest::addRow("quick drop reorders") << "C>A" << 0.2 << move << "move 2 0, F:b";
        QTest::addRow("just short of resting") << "C>A" << 0.4999 << move << "move 2 0, F:b";
        QTest::addRow("rested: new folder") << "C>A" << 0.5 << copy << "F:b, Folder:c,a";
        QTest::addRow("on page 2") << "E>D" << 0.0 << move << "move 4 3, F:b";
        QTest::addRow("across pages") << "A>E" << 0.0 << move << "move 0 4, F:b";
        QTest::addRow("onto a folder of another page") << "E>F" << 2.0 << copy << "F:b,e";
        QTest::addRow("over itself") << "A>A" << 1.0 << refused << "F:b";
        QTest::addRow("foreign drag on a tile") << ">A" << 0.0 << refused << "F:b";
        QTest::addRow("foreign drag on a folder") << ">F" << 0.0 << refused << "F:b";
    }

    void drop() {
        QFETCH(QString, drag);
        QFETCH(double, rest);
        QFETCH(int, action);
        QFETCH(QString, outcome);

        GridFixture f;
        const QString dragged = drag.section('>', 0, 0), target = f.cell(drag.section('>', 1));
        const bool taken = action != Qt::IgnoreAction;
        if (!dragged.isEmpty())
            f.grid.beginDrag(f.cell(dragged));
        QCOMPARE(f.role(dragged, GridPageModel::IsDraggedRole), !dragged.isEmpty());
        f.grid.dropEntered(target);
        QCOMPARE(f.role(drag.section('>', 1), GridPageModel::IsDropTargetRole), taken);
        f.now += rest;
        QCOMPARE(f.grid.dropUpdated(target), action);
        QCOMPARE(f.grid.dropPerformed(target), taken);
        // Nested drop targets may get the same drop again, after the drag is over.
        QVERIFY(!f.grid.dropPerformed(target) && f.grid.draggedAppId().isEmpty());
        // The drag runs inside the dragged tile: the grid changes once it has ended.
        QCoreApplication::processEvents();
        QCOMPARE(f.outcome(), QStringLiteral("F:b"));
        f.grid.endDrag();
        QCoreApplication::processEvents();
        QCOMPARE(f.outcome(), outcome);
    }

    void leavingRestartsTheRest() {
        GridFixture f;
        f.grid.beginDrag(f.cell("C"));
        f.grid.dropEntered(f.cell("A"));
        f.now += 0.4;
        f.grid.dropExited(f.cell("A"));
        f.now += 0.2;
        QCOMPARE(f.grid.dropUpdated(f.cell("A")), int(Qt::MoveAction));
        f.grid.dropEntered(f.cell("A"));
        f.now += 0.45;
        QCOMPARE(f.grid.dropUpdated(f.cell("A")), int(Qt::MoveAction));
        // Let go elsewhere: nothing stays dimmed or ringed, and nothing changes.
        f.grid.endDrag();
        QVERIFY(!f.role("A", GridPageModel::IsDropTargetRole));
        QVERIFY(!f.role("C", GridPageModel::IsDraggedRole));
        QCoreApplication::processEvents();
        QCOMPARE(f.outcome(), QStringLiteral("F:b"));
    }

    // The grid reports moves in the list it shows; while searching that list is
    // filtered, and the main screen carries the move over to the whole list.
    void moveWhileSearching() {
        const AppList all = testApps({"A", "B", "C", "D", "E"});
        const AppList shown{all.at(1), all.at(3), all.at(4)};
        QVERIFY(mapMoveToCatalogue(shown, all, 2, 0) == MovePositions(4, 1));
        QVERIFY(!mapMoveToCatalogue(shown, all, 3, 0));
        QVERIFY(!mapMoveToCatalogue(shown + testApps({"X"}), all, 3, 0));
    }
};

QUORLIN_TEST(PagedGridTest)
#include "PagedGridTest.moc"
