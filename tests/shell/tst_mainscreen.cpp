#include "AppDiscovery.h"
#include "AppSettings.h"
#include "DesktopBackground.h"
#include "MainScreen.h"
#include "PagedGrid.h"
#include "RecordingDefaultsStore.h"
#include "ShellFakes.h"
#include "UuidText.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <memory>

namespace {

QStringList namesOf(const AppList& apps) {
    QStringList names;
    for (const AppItem& app : apps)
        names.append(app.name);
    return names;
}

// A main screen over a real catalogue of desktop entries, with every platform
// service recorded.
struct Screen {
    explicit Screen(const EntryCatalogue& catalogue)
        : settings(std::make_unique<AppSettings>(store))
        , discovery(std::make_unique<AppDiscovery>(*settings, catalogue.roots(), trash))
        , background(std::make_unique<DesktopBackground>(
              pictures, [this](const QString& line) { lines.append(line); }))
        , screen(std::make_unique<MainScreen>(*settings, *discovery, launcher, revealer,
                                              *background)) {
        discovery->setLoadsIcons(false);
    }

    // Appears and waits for the scan to be published.
    void appearAndScan() {
        QSignalSpy finished(discovery.get(), &AppDiscovery::scanFinished);
        screen->appear();
        QTRY_COMPARE(finished.count(), 1);
    }

    void rescan() {
        QSignalSpy finished(discovery.get(), &AppDiscovery::scanFinished);
        discovery->setIsLoading(true);
        discovery->loadApplications();
        QTRY_COMPARE(finished.count(), 1);
    }

    [[nodiscard]] AppItem app(const QString& name) const {
        for (const AppItem& app : discovery->applications()) {
            if (app.name == name)
                return app;
        }
        return {};
    }

    RecordingDefaultsStore store;
    RecordingTrash trash;
    RecordingLauncher launcher;
    RecordingRevealer revealer;
    FixedPictureSource pictures;
    QStringList lines;
    std::unique_ptr<AppSettings> settings;
    std::unique_ptr<AppDiscovery> discovery;
    std::unique_ptr<DesktopBackground> background;
    std::unique_ptr<MainScreen> screen;
};

} // namespace

class MainScreenTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filteredApps_data();
    void filteredApps();
    void contentStates();
    void loadingHidesAnEarlierCatalogue();
    void gridGetsSevenBySevenFive();
    void rescanHandsTheGridFreshIds();
    void launchHidesLauncherLater();
    void hideAppRemovesAndPersists();
    void deleteFlow_data();
    void deleteFlow();
    void strayConfirmationDeletesNothing();
    void moveWhileSearching_data();
    void moveWhileSearching();
    void editModeIsOnlyChangedByTheButton();
    void revealUsesTheRevealer();
    void escapeHidesLauncher();
};

void MainScreenTest::filteredApps_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");

    // The published order is alphabetical.
    QTest::addRow("empty text shows the whole catalogue in its order")
        << QString()
        << QStringList{"Calculator", "Mail", "Safari", "Text Edit", "TextMate", "zoom"};
    QTest::addRow("capitals find a name in small letters") << "ZOO" << QStringList{"zoom"};
    QTest::addRow("small letters find a name in capitals") << "safari" << QStringList{"Safari"};
    QTest::addRow("one space finds only names with a space") << " " << QStringList{"Text Edit"};
    QTest::addRow("text from the middle of a name") << "xtM" << QStringList{"TextMate"};
    QTest::addRow("text shared by several names keeps their order")
        << "te" << QStringList{"Text Edit", "TextMate"};
    QTest::addRow("spaces around the text are not trimmed") << " mail" << QStringList{};
    QTest::addRow("identifiers are not searched") << "org.example" << QStringList{};
    QTest::addRow("no name contains the text") << "zzz" << QStringList{};
}

void MainScreenTest::filteredApps() {
    QFETCH(QString, search);
    QFETCH(QStringList, expected);
    EntryCatalogue catalogue;
    catalogue.add("org.example.safari", "Safari");
    catalogue.add("org.example.textedit", "Text Edit");
    catalogue.add("org.example.calculator", "Calculator");
    catalogue.add("org.example.zoom", "zoom");
    catalogue.add("org.example.mail", "Mail");
    catalogue.add("org.example.textmate", "TextMate");
    Screen s(catalogue);
    s.appearAndScan();

    s.screen->setSearchText(search);

    QCOMPARE(namesOf(s.screen->filteredApps()), expected);
    QCOMPARE(namesOf(s.screen->grid()->apps()), expected);
}

void MainScreenTest::contentStates() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    Screen s(catalogue);
    MainScreen& screen = *s.screen;

    // Before the screen appears nothing is loading and nothing is found.
    QCOMPARE(screen.contentState(), MainScreen::ContentState::Empty);
    QCOMPARE(screen.emptyText(), QString("No applications found"));
    QCOMPARE(screen.emptySymbol(), QString("app.dashed"));

    QSignalSpy finished(s.discovery.get(), &AppDiscovery::scanFinished);
    screen.appear();
    QCOMPARE(screen.contentState(), MainScreen::ContentState::Loading);
    QCOMPARE(screen.loadingText(), QString("Discovering applications..."));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(screen.contentState(), MainScreen::ContentState::Grid);

    screen.setSearchText("Zebra's");
    QCOMPARE(screen.contentState(), MainScreen::ContentState::Empty);
    QCOMPARE(screen.emptyText(), QString("No results for 'Zebra's'"));
    QCOMPARE(screen.emptySymbol(), QString("magnifyingglass"));
    QVERIFY(screen.emptySymbolSource().toString().endsWith("magnifyingglass.svg"));

    screen.setSearchText("NOT");
    QCOMPARE(screen.contentState(), MainScreen::ContentState::Grid);

    screen.setSearchText(QString());
    QCOMPARE(screen.contentState(), MainScreen::ContentState::Grid);
    QCOMPARE(screen.emptySymbol(), QString("app.dashed"));
    QVERIFY(screen.emptySymbolSource().toString().endsWith("app-dashed.svg"));
    // The picture load reported once.
    QTRY_COMPARE(s.lines, QStringList{"Could not get desktop image URL"});
}

void MainScreenTest::loadingHidesAnEarlierCatalogue() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    Screen s(catalogue);
    s.appearAndScan();
    QSignalSpy states(s.screen.get(), &MainScreen::contentStateChanged);

    s.discovery->setIsLoading(true);

    QCOMPARE(s.screen->contentState(), MainScreen::ContentState::Loading);
    QCOMPARE(states.count(), 1);
    s.discovery->setIsLoading(false);
    QCOMPARE(s.screen->contentState(), MainScreen::ContentState::Grid);
}

void MainScreenTest::gridGetsSevenBySevenFive() {
    EntryCatalogue catalogue;
    Screen s(catalogue);
    QCOMPARE(s.screen->grid()->columns(), 7);
    QCOMPARE(s.screen->grid()->rows(), 5);
}

void MainScreenTest::rescanHandsTheGridFreshIds() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    Screen s(catalogue);
    s.appearAndScan();
    const QUuid first = s.screen->grid()->apps().at(0).id;

    s.rescan();

    QCOMPARE(s.screen->grid()->apps().size(), 1);
    QVERIFY(s.screen->grid()->apps().at(0).id != first);
    QCOMPARE(s.screen->grid()->apps().at(0).id, s.discovery->applications().at(0).id);
}

void MainScreenTest::launchHidesLauncherLater() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    catalogue.add("org.example.maps", "Maps");
    Screen s(catalogue);
    s.appearAndScan();
    s.screen->setSearchText("no");
    s.screen->setEditMode(true);
    QSignalSpy hides(s.screen.get(), &MainScreen::hideLauncherRequested);
    const AppItem notes = s.app("Notes");

    QElapsedTimer clock;
    clock.start();
    s.screen->grid()->launch(uuidText(notes.id));

    QCOMPARE(s.launcher.launched.size(), 1);
    QCOMPARE(s.launcher.launched.at(0).path, notes.path);
    QCOMPARE(hides.count(), 0);
    QTRY_COMPARE(hides.count(), 1);
    QVERIFY2(clock.elapsed() >= MainScreen::launchHideDelayMs - 10,
             qPrintable(QString::number(clock.elapsed())));
    // The launcher comes back as it was left.
    QCOMPARE(s.screen->searchText(), QString("no"));
    QVERIFY(s.screen->isEditMode());
    QCOMPARE(namesOf(s.screen->filteredApps()), QStringList{"Notes"});
}

void MainScreenTest::hideAppRemovesAndPersists() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    catalogue.add("org.example.maps", "Maps");
    Screen s(catalogue);
    s.appearAndScan();

    s.screen->grid()->hide(uuidText(s.app("Notes").id));

    QCOMPARE(namesOf(s.screen->filteredApps()), QStringList{"Maps"});
    QCOMPARE(namesOf(s.screen->grid()->apps()), QStringList{"Maps"});
    QVERIFY(s.settings->hiddenApps().contains("org.example.notes"));
    QCOMPARE(s.store.writeCount(AppSettings::hiddenAppsKey), 1);

    // A restart reads the hidden set back and the scan leaves the app out.
    AppSettings restarted(s.store);
    RecordingTrash trash;
    AppDiscovery discovery(restarted, catalogue.roots(), trash);
    discovery.setLoadsIcons(false);
    QSignalSpy finished(&discovery, &AppDiscovery::scanFinished);
    discovery.loadApplications();
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(namesOf(discovery.applications()), QStringList{"Maps"});
}

void MainScreenTest::deleteFlow_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("trashError");
    QTest::addColumn<QStringList>("remaining");

    QTest::addRow("cancel changes nothing") << false << QString() << QStringList{"Maps", "Notes"};
    QTest::addRow("delete moves the entry and rescans") << true << QString() << QStringList{"Maps"};
    QTest::addRow("a refused move keeps the catalogue")
        << true << QString("Permission denied") << QStringList{"Maps", "Notes"};
}

void MainScreenTest::deleteFlow() {
    QFETCH(bool, confirm);
    QFETCH(QString, trashError);
    QFETCH(QStringList, remaining);
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    catalogue.add("org.example.maps", "Maps");
    Screen s(catalogue);
    s.trash.failWith = trashError;
    s.appearAndScan();
    const qsizetype writesBefore = s.store.writes.size();
    const AppItem notes = s.app("Notes");

    s.screen->grid()->requestDelete(uuidText(notes.id));

    QVERIFY(s.screen->showDeleteConfirmation());
    QCOMPARE(s.screen->deleteTitle(), QString("Delete Application"));
    QCOMPARE(s.screen->deleteMessage(),
             QString("Are you sure you want to move Notes to the Trash? This action cannot be "
                     "undone."));
    QVERIFY(s.trash.requests.isEmpty());

    QSignalSpy finished(s.discovery.get(), &AppDiscovery::scanFinished);
    if (confirm)
        s.screen->confirmDelete();
    else
        s.screen->cancelDelete();

    QVERIFY(!s.screen->showDeleteConfirmation());
    QCOMPARE(s.trash.requests, confirm ? QStringList{notes.path} : QStringList{});
    if (confirm && trashError.isEmpty()) {
        QCOMPARE(s.screen->contentState(), MainScreen::ContentState::Loading);
        QTRY_COMPARE(finished.count(), 1);
    }
    QCOMPARE(namesOf(s.discovery->applications()), remaining);
    QCOMPARE(namesOf(s.screen->filteredApps()), remaining);
    QCOMPARE(s.store.writes.size(), writesBefore);
}

void MainScreenTest::strayConfirmationDeletesNothing() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    Screen s(catalogue);
    s.trash.failWith = QStringLiteral("kept for the test");
    s.appearAndScan();
    s.screen->requestDelete(s.app("Notes"));
    s.screen->confirmDelete();

    s.screen->confirmDelete();

    QCOMPARE(s.trash.requests.size(), 1);
    // The request stays remembered; the next one replaces it.
    QVERIFY(s.screen->appToDelete().has_value());
}

void MainScreenTest::moveWhileSearching_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("order");

    const QStringList alphabetical{"Alpha", "Bravo", "Charlie", "Delta", "Echo"};
    QTest::addRow("no search: positions are catalogue positions")
        << QString() << 0 << 2 << QStringList{"Bravo", "Charlie", "Alpha", "Delta", "Echo"};
    // "a" leaves out Echo only; "e" shows Charlie, Delta, Echo.
    QTest::addRow("a search moves the applications shown at those positions")
        << "e" << 2 << 0 << QStringList{"Alpha", "Bravo", "Echo", "Charlie", "Delta"};
    QTest::addRow("a move out of the shown range changes nothing") << "e" << 0 << 3 << alphabetical;
    QTest::addRow("a move onto itself changes nothing") << "e" << 1 << 1 << alphabetical;
}

void MainScreenTest::moveWhileSearching() {
    QFETCH(QString, search);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, order);
    EntryCatalogue catalogue;
    for (const char* name : {"Alpha", "Bravo", "Charlie", "Delta", "Echo"})
        catalogue.add("org.example." + QString(name).toLower(), name);
    Screen s(catalogue);
    s.appearAndScan();
    s.screen->setSearchText(search);

    s.screen->moveApp(from, to);

    QCOMPARE(namesOf(s.discovery->applications()), order);
    if (order != QStringList{"Alpha", "Bravo", "Charlie", "Delta", "Echo"}) {
        QStringList saved;
        for (const QString& name : order)
            saved.append("org.example." + name.toLower());
        QCOMPARE(s.settings->customAppOrder(), saved);
    } else {
        QCOMPARE(s.store.writeCount(AppSettings::customAppOrderKey), 0);
    }
}

void MainScreenTest::editModeIsOnlyChangedByTheButton() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    catalogue.add("org.example.maps", "Maps");
    Screen s(catalogue);
    s.appearAndScan();
    QSignalSpy changes(s.screen.get(), &MainScreen::isEditModeChanged);
    QCOMPARE(s.screen->editButtonText(), QString("Edit"));

    s.screen->toggleEditMode();
    QVERIFY(s.screen->isEditMode());
    QVERIFY(s.screen->grid()->isEditMode());
    QCOMPARE(s.screen->editButtonText(), QString("Done"));

    s.screen->launch(s.app("Notes"));
    s.screen->hideApp(s.app("Maps"));
    s.screen->handleEscape();
    QVERIFY(s.screen->isEditMode());

    s.screen->toggleEditMode();
    QVERIFY(!s.screen->isEditMode());
    QVERIFY(!s.screen->grid()->isEditMode());
    QCOMPARE(s.screen->editButtonText(), QString("Edit"));
    QCOMPARE(changes.count(), 2);
}

void MainScreenTest::revealUsesTheRevealer() {
    EntryCatalogue catalogue;
    catalogue.add("org.example.notes", "Notes");
    Screen s(catalogue);
    s.appearAndScan();
    QCOMPARE(s.screen->grid()->revealLabel(), QString("Show in Files"));

    s.screen->grid()->reveal(uuidText(s.app("Notes").id));

    QCOMPARE(s.revealer.revealed, QStringList{catalogue.entryPath("org.example.notes")});
}

void MainScreenTest::escapeHidesLauncher() {
    EntryCatalogue catalogue;
    Screen s(catalogue);
    QSignalSpy hides(s.screen.get(), &MainScreen::hideLauncherRequested);

    s.screen->handleEscape();

    QCOMPARE(hides.count(), 1);
}

QTEST_MAIN(MainScreenTest)
#include "tst_mainscreen.moc"
