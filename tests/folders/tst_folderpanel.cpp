#include "AppListModel.h"
#include "AppSettings.h"
#include "FolderPanel.h"
#include "RecordingDefaultsStore.h"
#include "UuidText.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

AppItem makeApp(const QString& name, const QString& identifier) {
    return AppItem{QUuid::createUuid(), name, identifier, QStringLiteral("/apps/%1.app").arg(name),
                   QImage()};
}

// Mail, Maps, Notes, Photo Booth, Safari: bundle identifiers are the names in
// small letters without spaces.
AppList catalogue() {
    return {makeApp("Mail", "mail"), makeApp("Maps", "maps"), makeApp("Notes", "notes"),
            makeApp("Photo Booth", "photobooth"), makeApp("Safari", "safari")};
}

QStringList namesIn(const AppListModel* model) {
    QStringList names;
    for (const AppItem& app : model->apps())
        names.append(app.name);
    return names;
}

QString idOf(const AppList& apps, const QString& identifier) {
    for (const AppItem& app : apps) {
        if (app.bundleIdentifier == identifier)
            return uuidText(app.id);
    }
    return {};
}

// A panel open on a stored folder "Work" holding mail and notes.
struct Fixture {
    explicit Fixture(const QStringList& members = {"mail", "notes"}, bool startEditing = false)
        : settings(store)
        , apps(catalogue())
        , folder(settings.createFolder(QStringLiteral("Work"), members))
        , panel(std::make_unique<FolderPanel>(settings, folder, apps, startEditing))
        , folderTester(panel->folderAppsModel(),
                       QAbstractItemModelTester::FailureReportingMode::QtTest)
        , pickerTester(panel->pickerAppsModel(),
                       QAbstractItemModelTester::FailureReportingMode::QtTest) {
        store.writes.clear();
    }

    [[nodiscard]] QString id(const QString& identifier) const { return idOf(apps, identifier); }
    [[nodiscard]] std::optional<FolderItem> stored() const { return settings.folder(folder.id); }

    RecordingDefaultsStore store;
    AppSettings settings;
    AppList apps;
    FolderItem folder;
    std::unique_ptr<FolderPanel> panel;
    QAbstractItemModelTester folderTester;
    QAbstractItemModelTester pickerTester;
};

} // namespace

class TestFolderPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsFromTheStoredFolder();
    void saveFolderName_data();
    void saveFolderName();
    void commitName_data();
    void commitName();
    void closeStoresTheNameBeforeAskingToClose();
    void editingText_data();
    void editingText();
    void followsMembersAddedAndRemoved();
    void closesWhenTheFolderIsGone_data();
    void closesWhenTheFolderIsGone();
    void pickerOffersOnlyUnfoldedApps();
    void pickerSearch_data();
    void pickerSearch();
    void pickerOpensWithAnEmptySearch();
    void selectingAnApp_data();
    void selectingAnApp();
    void requests_data();
    void requests();
    void hideRecordsAndAsksForARebuild();
    void launchStoresAnEditedName();
    void unknownIdsDoNothing_data();
    void unknownIdsDoNothing();
    void followsTheHostsList();
    void revealLabel();
};

void TestFolderPanel::startsFromTheStoredFolder() {
    Fixture f;
    QCOMPARE(f.panel->folderName(), QStringLiteral("Work"));
    QVERIFY(!f.panel->isEditing());
    QVERIFY(!f.panel->showingAppPicker());
    QCOMPARE(namesIn(f.panel->folderAppsModel()), (QStringList{"Mail", "Notes"}));
    QCOMPARE(f.panel->folderIdText(), uuidText(f.folder.id));

    // A stale value from the host is replaced by what is stored.
    FolderItem stale = f.folder;
    stale.name = QStringLiteral("Old");
    stale.appBundleIds = {"safari"};
    FolderPanel fresh(f.settings, stale, f.apps, true);
    QCOMPARE(fresh.folderName(), QStringLiteral("Work"));
    QCOMPARE(namesIn(fresh.folderAppsModel()), (QStringList{"Mail", "Notes"}));
    QVERIFY(fresh.isEditing());
}

void TestFolderPanel::saveFolderName_data() {
    QTest::addColumn<QString>("edited");
    QTest::addColumn<QString>("storedAfter");
    QTest::addColumn<int>("writes");

    QTest::addRow("empty: nothing stored") << ""
                                           << "Work" << 0;
    QTest::addRow("unchanged: nothing stored") << "Work"
                                               << "Work" << 0;
    QTest::addRow("other case is a new name") << "work"
                                              << "work" << 1;
    QTest::addRow("spaces are a name") << "   "
                                       << "   " << 1;
    QTest::addRow("new name, untrimmed") << " Games "
                                         << " Games " << 1;
}

void TestFolderPanel::saveFolderName() {
    QFETCH(QString, edited);
    QFETCH(QString, storedAfter);
    QFETCH(int, writes);

    Fixture f;
    f.panel->setFolderName(edited);
    f.panel->saveFolderName();
    QCOMPARE(f.stored()->name, storedAfter);
    QCOMPARE(f.store.writeCount(AppSettings::foldersKey), writes);

    // Saving again stores nothing more: the panel now knows the stored name.
    f.panel->saveFolderName();
    QCOMPARE(f.store.writeCount(AppSettings::foldersKey), writes);
}

void TestFolderPanel::commitName_data() {
    QTest::addColumn<QString>("edited");
    QTest::addColumn<QString>("titleAfter");
    QTest::addColumn<int>("writes");

    QTest::addRow("empty falls back to the stored name") << ""
                                                         << "Work" << 0;
    QTest::addRow("unchanged calls no settings operation") << "Work"
                                                           << "Work" << 0;
    QTest::addRow("new name is stored and shown") << "Games"
                                                  << "Games" << 1;
}

void TestFolderPanel::commitName() {
    QFETCH(QString, edited);
    QFETCH(QString, titleAfter);
    QFETCH(int, writes);

    Fixture f;
    QSignalSpy editing(f.panel.get(), &FolderPanel::isEditingChanged);
    f.panel->beginEditing();
    QVERIFY(f.panel->isEditing());
    f.panel->setFolderName(edited);
    f.panel->commitName();

    QVERIFY(!f.panel->isEditing());
    QCOMPARE(editing.size(), 2);
    QCOMPARE(f.panel->folderName(), titleAfter);
    QCOMPARE(f.stored()->name, titleAfter);
    QCOMPARE(f.store.writeCount(AppSettings::foldersKey), writes);
}

void TestFolderPanel::closeStoresTheNameBeforeAskingToClose() {
    Fixture f(QStringList{"mail"}, true);
    QString storedWhenAsked;
    connect(f.panel.get(), &FolderPanel::closeRequested, this,
            [&] { storedWhenAsked = f.stored()->name; });
    QSignalSpy closing(f.panel.get(), &FolderPanel::closeRequested);

    f.panel->setFolderName(QStringLiteral("Renamed"));
    f.panel->close();
    QCOMPARE(closing.size(), 1);
    QCOMPARE(storedWhenAsked, QStringLiteral("Renamed"));
}

void TestFolderPanel::editingText_data() {
    QTest::addColumn<bool>("editing");
    QTest::addColumn<QString>("titleAfter");

    QTest::addRow("not editing: the title follows the stored name") << false << "Elsewhere";
    QTest::addRow("editing: the typed text stays") << true << "Typed";
}

void TestFolderPanel::editingText() {
    QFETCH(bool, editing);
    QFETCH(QString, titleAfter);

    Fixture f;
    if (editing) {
        f.panel->beginEditing();
        f.panel->setFolderName(QStringLiteral("Typed"));
    }
    f.settings.renameFolder(f.folder.id, QStringLiteral("Elsewhere"));
    QCOMPARE(f.panel->folderName(), titleAfter);
}

void TestFolderPanel::followsMembersAddedAndRemoved() {
    Fixture f;
    f.settings.addAppToFolder(f.folder.id, QStringLiteral("safari"));
    QCOMPARE(namesIn(f.panel->folderAppsModel()), (QStringList{"Mail", "Notes", "Safari"}));
    QVERIFY(!namesIn(f.panel->pickerAppsModel()).contains(QStringLiteral("Safari")));

    f.panel->removeApp(f.id("mail"));
    QCOMPARE(f.stored()->appBundleIds, (QStringList{"notes", "safari"}));
    QCOMPARE(namesIn(f.panel->folderAppsModel()), (QStringList{"Notes", "Safari"}));
    QCOMPARE(namesIn(f.panel->pickerAppsModel()), (QStringList{"Mail", "Maps", "Photo Booth"}));

    // Another folder taking an application takes it out of the picker too.
    f.settings.createFolder(QStringLiteral("Other"), {"maps"});
    QCOMPARE(namesIn(f.panel->pickerAppsModel()), (QStringList{"Mail", "Photo Booth"}));
}

void TestFolderPanel::closesWhenTheFolderIsGone_data() {
    QTest::addColumn<bool>("byRemovingMembers");

    QTest::addRow("last member removed in the panel") << true;
    QTest::addRow("folder deleted elsewhere") << false;
}

void TestFolderPanel::closesWhenTheFolderIsGone() {
    QFETCH(bool, byRemovingMembers);

    Fixture f;
    f.panel->togglePicker();
    QSignalSpy closing(f.panel.get(), &FolderPanel::closeRequested);
    if (byRemovingMembers) {
        f.panel->removeApp(f.id("mail"));
        QCOMPARE(closing.size(), 0);
        f.panel->removeApp(f.id("notes"));
    } else {
        f.settings.deleteFolder(f.folder.id);
    }
    QVERIFY(!f.stored());
    QCOMPARE(closing.size(), 1);
    QVERIFY(!f.panel->showingAppPicker());

    // Later changes and a close from the view ask no second time, and nothing
    // is written for the folder that is gone.
    const qsizetype writes = f.store.writeCount(AppSettings::foldersKey);
    f.settings.createFolder(QStringLiteral("Unrelated"), {"maps"});
    f.panel->setFolderName(QStringLiteral("New"));
    f.panel->close();
    QCOMPARE(closing.size(), 1);
    QCOMPARE(f.store.writeCount(AppSettings::foldersKey), writes + 1);
    QCOMPARE(f.settings.folders().size(), 1);
}

void TestFolderPanel::pickerOffersOnlyUnfoldedApps() {
    Fixture f;
    f.settings.createFolder(QStringLiteral("Other"), {"safari"});
    QCOMPARE(namesIn(f.panel->pickerAppsModel()), (QStringList{"Maps", "Photo Booth"}));

    f.settings.createFolder(QStringLiteral("Rest"), {"maps", "photobooth"});
    QCOMPARE(f.panel->pickerAppsModel()->count(), 0);
    f.panel->setPickerSearchText(QStringLiteral("a"));
    QCOMPARE(f.panel->pickerAppsModel()->count(), 0);
}

void TestFolderPanel::pickerSearch_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");

    // The rule itself has its own test; these rows check the panel applies it
    // to the candidates only.
    QTest::addRow("empty: all, in order") << "" << QStringList{"Maps", "Photo Booth", "Safari"};
    QTest::addRow("case ignored") << "sAf" << QStringList{"Safari"};
    QTest::addRow("one space: names with a space") << " " << QStringList{"Photo Booth"};
    QTest::addRow("members are not searched") << "mail" << QStringList{};
}

void TestFolderPanel::pickerSearch() {
    QFETCH(QString, search);
    QFETCH(QStringList, expected);

    Fixture f;
    QSignalSpy changed(f.panel.get(), &FolderPanel::pickerSearchTextChanged);
    f.panel->setPickerSearchText(search);
    QCOMPARE(changed.size(), search.isEmpty() ? 0 : 1);
    QCOMPARE(namesIn(f.panel->pickerAppsModel()), expected);
}

void TestFolderPanel::pickerOpensWithAnEmptySearch() {
    Fixture f;
    QSignalSpy showing(f.panel.get(), &FolderPanel::showingAppPickerChanged);
    f.panel->togglePicker();
    QVERIFY(f.panel->showingAppPicker());
    f.panel->setPickerSearchText(QStringLiteral("saf"));
    f.panel->togglePicker();
    QVERIFY(!f.panel->showingAppPicker());

    // Dismissed by a click outside, then opened again: a fresh search.
    f.panel->setShowingAppPicker(true);
    QVERIFY(f.panel->pickerSearchText().isEmpty());
    QCOMPARE(f.panel->pickerAppsModel()->count(), 3);
    f.panel->setShowingAppPicker(false);
    QCOMPARE(showing.size(), 4);
}

void TestFolderPanel::selectingAnApp_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("membersAfter");

    QTest::addRow("a candidate is appended") << "safari" << QStringList{"mail", "notes", "safari"};
    QTest::addRow("an own member is not added twice") << "mail" << QStringList{"mail", "notes"};
    QTest::addRow("a member of another folder stays there")
        << "maps" << QStringList{"mail", "notes"};
}

void TestFolderPanel::selectingAnApp() {
    QFETCH(QString, chosen);
    QFETCH(QStringList, membersAfter);

    Fixture f;
    const FolderItem other = f.settings.createFolder(QStringLiteral("Other"), {"maps"});
    f.panel->togglePicker();
    f.panel->selectApp(f.id(chosen));

    QVERIFY(!f.panel->showingAppPicker());
    QCOMPARE(f.stored()->appBundleIds, membersAfter);
    QCOMPARE(f.settings.folder(other.id)->appBundleIds, QStringList{"maps"});
    // Whatever was chosen is in some folder now, so it is not offered again.
    for (const AppItem& offered : f.panel->pickerAppsModel()->apps())
        QVERIFY(offered.bundleIdentifier != chosen);
    QCOMPARE(f.panel->folderAppsModel()->count(), membersAfter.size());
}

void TestFolderPanel::requests_data() {
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QByteArray>("signal");

    QTest::addRow("launch") << QByteArray("launch") << QByteArray(SIGNAL(launchRequested(AppItem)));
    QTest::addRow("reveal") << QByteArray("reveal") << QByteArray(SIGNAL(revealRequested(AppItem)));
    QTest::addRow("hide") << QByteArray("hideApp") << QByteArray(SIGNAL(hideRequested(AppItem)));
}

void TestFolderPanel::requests() {
    QFETCH(QByteArray, action);
    QFETCH(QByteArray, signal);

    Fixture f;
    QSignalSpy requested(f.panel.get(), signal.constData());
    QSignalSpy closing(f.panel.get(), &FolderPanel::closeRequested);
    QVERIFY(QMetaObject::invokeMethod(f.panel.get(), action.constData(),
                                      Q_ARG(QString, f.id("notes"))));
    QCOMPARE(requested.size(), 1);
    const auto app = requested.first().first().value<AppItem>();
    QCOMPARE(app.id, f.apps.at(2).id);
    QCOMPARE(app.path, QStringLiteral("/apps/Notes.app"));
    // Closing after a launch is the host's business.
    QCOMPARE(closing.size(), 0);
}

void TestFolderPanel::hideRecordsAndAsksForARebuild() {
    Fixture f;
    QSignalSpy hidden(f.panel.get(), &FolderPanel::hideRequested);
    bool recordedWhenAsked = false;
    connect(f.panel.get(), &FolderPanel::hideRequested, this, [&](const AppItem& app) {
        recordedWhenAsked = f.settings.hiddenApps().contains(app.bundleIdentifier);
    });

    f.panel->hideApp(f.id("mail"));
    QCOMPARE(f.settings.hiddenApps(), QSet<QString>{QStringLiteral("mail")});
    QCOMPARE(f.store.writeCount(AppSettings::hiddenAppsKey), 1);
    QCOMPARE(hidden.size(), 1);
    QVERIFY(recordedWhenAsked);
    // Hiding does not take the application out of the folder.
    QCOMPARE(f.stored()->appBundleIds, (QStringList{"mail", "notes"}));
}

void TestFolderPanel::launchStoresAnEditedName() {
    Fixture f(QStringList{"mail"}, true);
    QString storedWhenLaunched;
    connect(f.panel.get(), &FolderPanel::launchRequested, this,
            [&] { storedWhenLaunched = f.stored()->name; });
    f.panel->setFolderName(QStringLiteral("Post"));
    f.panel->launch(f.id("mail"));
    QCOMPARE(storedWhenLaunched, QStringLiteral("Post"));
}

void TestFolderPanel::unknownIdsDoNothing_data() {
    QTest::addColumn<QString>("appId");

    QTest::addRow("empty") << QString();
    QTest::addRow("not a UUID") << QStringLiteral("mail");
    QTest::addRow("no such application") << uuidText(QUuid::createUuid());
}

void TestFolderPanel::unknownIdsDoNothing() {
    QFETCH(QString, appId);

    Fixture f;
    QSignalSpy launched(f.panel.get(), &FolderPanel::launchRequested);
    QSignalSpy revealed(f.panel.get(), &FolderPanel::revealRequested);
    QSignalSpy hidden(f.panel.get(), &FolderPanel::hideRequested);
    f.panel->togglePicker();
    f.panel->launch(appId);
    f.panel->reveal(appId);
    f.panel->hideApp(appId);
    f.panel->removeApp(appId);
    f.panel->selectApp(appId);

    QCOMPARE(launched.size() + revealed.size() + hidden.size(), 0);
    QVERIFY(f.store.writes.isEmpty());
    QVERIFY(!f.panel->showingAppPicker());
}

void TestFolderPanel::followsTheHostsList() {
    Fixture f;
    // The host's search leaves out Mail: it leaves the panel, not the folder.
    AppList narrowed = f.apps;
    narrowed.removeAt(0);
    f.panel->setApps(narrowed);
    QCOMPARE(namesIn(f.panel->folderAppsModel()), QStringList{"Notes"});
    QCOMPARE(f.stored()->appBundleIds, (QStringList{"mail", "notes"}));

    // A rescan gives new records (new ids) for the same applications.
    AppList rescanned = catalogue();
    f.panel->setApps(rescanned);
    QCOMPARE(namesIn(f.panel->folderAppsModel()), (QStringList{"Mail", "Notes"}));
    QCOMPARE(f.panel->folderAppsModel()->apps().first().id, rescanned.first().id);
    QSignalSpy launched(f.panel.get(), &FolderPanel::launchRequested);
    f.panel->launch(f.id("mail"));
    QCOMPARE(launched.size(), 0);
    f.panel->launch(idOf(rescanned, QStringLiteral("mail")));
    QCOMPARE(launched.size(), 1);
}

void TestFolderPanel::revealLabel() {
    Fixture f;
    QCOMPARE(f.panel->revealLabel(), QStringLiteral("Show in File Manager"));
    QSignalSpy changed(f.panel.get(), &FolderPanel::revealLabelChanged);
    f.panel->setRevealLabel(QStringLiteral("Show in Files"));
    f.panel->setRevealLabel(QStringLiteral("Show in Files"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(f.panel->revealLabel(), QStringLiteral("Show in Files"));
}

QTEST_GUILESS_MAIN(TestFolderPanel)
#include "tst_folderpanel.moc"
