#include "AppDropDelegate.h"
#include "AppDropToFolderDelegate.h"
#include "FolderDropDelegate.h"
#include "GridTestData.h"
#include "MoveTranslation.h"

#include <QTest>

namespace {

enum class Dragged { Nothing, Target, Other, Stranger };

// One page of applications A B C D, the shared states, a clock the test moves,
// and a record of what the handlers asked for.
struct Fixture {
    AppList page = testApps({"A", "B", "C", "D"});
    std::optional<AppItem> draggedApp;
    DropHoverState hover;
    double now = 100.0;
    QList<MovePositions> moves;
    QList<QPair<AppItem, AppItem>> folders;

    void drag(Dragged which, int targetIndex, int otherIndex) {
        switch (which) {
        case Dragged::Nothing:
            draggedApp.reset();
            break;
        case Dragged::Target:
            draggedApp = page.at(targetIndex);
            break;
        case Dragged::Other:
            draggedApp = page.at(otherIndex);
            break;
        case Dragged::Stranger:
            draggedApp = testApp("Z");
            break;
        }
    }

    AppDropDelegate delegateFor(int targetIndex, AppList allApps) {
        return AppDropDelegate(
            page.at(targetIndex), std::move(allApps), draggedApp, hover,
            [this](int from, int to) {
                moves.append({from, to});
            },
            [this](const AppItem& d, const AppItem& t) {
                folders.append({d, t});
            },
            [this] { return now; });
    }
    AppDropDelegate delegateFor(int targetIndex) { return delegateFor(targetIndex, page); }
};

} // namespace

class DropDelegatesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entered_data();
    void entered();
    void updated_data();
    void updated();
    void exitAndReenterRestartsTheHalfSecond();
    void exitClearsWhateverTileWasSet();
    void perform_data();
    void perform();
    void folderDelegate_data();
    void folderDelegate();
    void folderTileRing();
};

void DropDelegatesTest::entered_data() {
    QTest::addColumn<Dragged>("dragged");
    QTest::addColumn<bool>("ringShown");

    QTest::addRow("another application") << Dragged::Other << true;
    QTest::addRow("an application of another page") << Dragged::Stranger << true;
    QTest::addRow("the tile over itself") << Dragged::Target << false;
    QTest::addRow("nothing of the grid") << Dragged::Nothing << false;
}

void DropDelegatesTest::entered() {
    QFETCH(Dragged, dragged);
    QFETCH(bool, ringShown);

    Fixture f;
    f.drag(dragged, 1, 3);
    f.delegateFor(1).dropEntered();
    QCOMPARE(f.hover.dropTargetApp.has_value(), ringShown);
    QCOMPARE(f.hover.hoverStartTime.has_value(), ringShown);
    if (ringShown) {
        QCOMPARE(f.hover.dropTargetApp->id, f.page.at(1).id);
        QCOMPARE(*f.hover.hoverStartTime, 100.0);
    }
    QVERIFY(f.moves.isEmpty() && f.folders.isEmpty());
}

void DropDelegatesTest::updated_data() {
    QTest::addColumn<Dragged>("dragged");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<DropOperation>("operation");

    QTest::addRow("just entered") << Dragged::Other << true << 0.0 << DropOperation::Move;
    QTest::addRow("under the half second")
        << Dragged::Other << true << 0.4999 << DropOperation::Move;
    QTest::addRow("exactly the half second")
        << Dragged::Other << true << 0.5 << DropOperation::Copy;
    QTest::addRow("well past it") << Dragged::Other << true << 3.0 << DropOperation::Copy;
    QTest::addRow("never entered") << Dragged::Other << false << 3.0 << DropOperation::Move;
    QTest::addRow("over itself") << Dragged::Target << true << 3.0 << DropOperation::Forbidden;
    QTest::addRow("drag from another program")
        << Dragged::Nothing << true << 0.0 << DropOperation::Forbidden;
}

void DropDelegatesTest::updated() {
    QFETCH(Dragged, dragged);
    QFETCH(bool, enter);
    QFETCH(double, elapsed);
    QFETCH(DropOperation, operation);

    Fixture f;
    f.drag(dragged, 0, 2);
    if (enter)
        f.delegateFor(0).dropEntered();
    f.now += elapsed;
    QCOMPARE(f.delegateFor(0).dropUpdated(), operation);
    QVERIFY(f.delegateFor(0).validateDrop());
}

void DropDelegatesTest::exitAndReenterRestartsTheHalfSecond() {
    Fixture f;
    f.drag(Dragged::Other, 1, 0);
    f.delegateFor(1).dropEntered();
    f.now += 0.4;
    f.delegateFor(1).dropExited();
    QVERIFY(!f.hover.dropTargetApp && !f.hover.hoverStartTime);
    QCOMPARE(f.delegateFor(1).dropUpdated(), DropOperation::Move);

    f.now += 0.05;
    f.delegateFor(1).dropEntered();
    f.now += 0.45;
    QCOMPARE(f.delegateFor(1).dropUpdated(), DropOperation::Move);
    QVERIFY(f.delegateFor(1).performDrop());
    QCOMPARE(f.moves, (QList<MovePositions>{{0, 1}}));
    QVERIFY(f.folders.isEmpty());
}

void DropDelegatesTest::exitClearsWhateverTileWasSet() {
    Fixture f;
    f.drag(Dragged::Other, 1, 0);
    f.delegateFor(1).dropEntered();
    f.delegateFor(2).dropExited();
    QVERIFY(!f.hover.dropTargetApp && !f.hover.hoverStartTime);
    QVERIFY(f.draggedApp.has_value());
}

void DropDelegatesTest::perform_data() {
    QTest::addColumn<Dragged>("dragged");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<bool>("targetOnPage");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QList<MovePositions>>("moves");
    QTest::addColumn<bool>("folderMade");

    // Target is C (2), the other application is A (0).
    const QList<MovePositions> none;
    QTest::addRow("quick drop moves")
        << Dragged::Other << true << 0.2 << true << true << QList<MovePositions>{{0, 2}} << false;
    QTest::addRow("rested drop makes a folder")
        << Dragged::Other << true << 0.7 << true << true << none << true;
    QTest::addRow("exactly the half second makes a folder")
        << Dragged::Other << true << 0.5 << true << true << none << true;
    QTest::addRow("drop without an enter moves")
        << Dragged::Other << false << 2.0 << true << true << QList<MovePositions>{{0, 2}} << false;
    QTest::addRow("dragged application not on the page")
        << Dragged::Stranger << true << 0.1 << true << true << none << false;
    QTest::addRow("target missing from the page list")
        << Dragged::Other << true << 0.1 << false << true << none << false;
    QTest::addRow("rested drop of a stranger still makes a folder")
        << Dragged::Stranger << true << 0.9 << true << true << none << true;
    QTest::addRow("over itself is refused")
        << Dragged::Target << true << 0.9 << true << false << none << false;
    QTest::addRow("nothing dragged is refused")
        << Dragged::Nothing << true << 0.1 << true << false << none << false;
}

void DropDelegatesTest::perform() {
    QFETCH(Dragged, dragged);
    QFETCH(bool, enter);
    QFETCH(double, elapsed);
    QFETCH(bool, targetOnPage);
    QFETCH(bool, taken);
    QFETCH(QList<MovePositions>, moves);
    QFETCH(bool, folderMade);

    Fixture f;
    f.drag(dragged, 2, 0);
    const std::optional<AppItem> draggedBefore = f.draggedApp;
    AppList allApps = f.page;
    if (!targetOnPage)
        allApps.removeAt(2);
    if (enter)
        f.delegateFor(2, allApps).dropEntered();
    f.now += elapsed;
    QCOMPARE(f.delegateFor(2, allApps).performDrop(), taken);

    QCOMPARE(f.moves, moves);
    QCOMPARE(f.folders.size(), folderMade ? 1 : 0);
    if (folderMade) {
        QCOMPARE(f.folders.first().first.id, draggedBefore->id);
        QCOMPARE(f.folders.first().second.id, f.page.at(2).id);
    }
    // Whatever happened, the three shared states are cleared.
    QVERIFY(!f.draggedApp);
    QVERIFY(!f.hover.dropTargetApp);
    QVERIFY(!f.hover.hoverStartTime);
}

void DropDelegatesTest::folderDelegate_data() {
    QTest::addColumn<bool>("dragging");
    QTest::addRow("an application of the grid") << true;
    QTest::addRow("a drag from another program") << false;
}

void DropDelegatesTest::folderDelegate() {
    QFETCH(bool, dragging);

    const FolderItem folder{QUuid::createUuid(), QStringLiteral("F"), {}};
    std::optional<AppItem> dragged;
    if (dragging)
        dragged = testApp("A");
    const QUuid draggedId = dragged ? dragged->id : QUuid();
    QList<QUuid> added;
    std::optional<AppItem> draggedDuringAdd;
    AppDropToFolderDelegate delegate(folder, dragged, [&](const AppItem& app) {
        added.append(app.id);
        draggedDuringAdd = dragged;
    });

    QCOMPARE(delegate.validateDrop(), dragging);
    QCOMPARE(delegate.dropUpdated(), DropOperation::Copy);
    QCOMPARE(delegate.performDrop(), dragging);
    QCOMPARE(added, dragging ? QList<QUuid>{draggedId} : QList<QUuid>{});
    QVERIFY(!dragged);
    // The application is handed over before the shared state lets go of it.
    QCOMPARE(draggedDuringAdd.has_value(), dragging);
    QVERIFY(!delegate.performDrop());
    QCOMPARE(added.size(), dragging ? 1 : 0);
}

void DropDelegatesTest::folderTileRing() {
    bool ring = false;
    FolderDropDelegate tile(ring);
    tile.dropEntered();
    QVERIFY(ring);
    QCOMPARE(tile.dropUpdated(), DropOperation::Copy);
    tile.dropExited();
    QVERIFY(!ring);
    tile.dropEntered();
    QVERIFY(tile.performDrop());
    QVERIFY(!ring);
}

QTEST_GUILESS_MAIN(DropDelegatesTest)
#include "tst_dropdelegates.moc"
