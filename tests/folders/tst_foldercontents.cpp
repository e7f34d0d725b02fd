#include "AppSettings.h"
#include "FolderContents.h"
#include "RecordingDefaultsStore.h"

#include <QTest>

namespace {

// Applications named after their identifiers so that expected lists read as
// identifiers: "a" is the application with bundle identifier "a".
AppList makeApps(const QStringList& identifiers) {
    AppList apps;
    for (const QString& identifier : identifiers) {
        apps.append(AppItem{QUuid::createUuid(), identifier.toUpper(), identifier,
                            QStringLiteral("/apps/%1.app").arg(identifier), QImage()});
    }
    return apps;
}

QStringList identifiersOf(const AppList& apps) {
    QStringList identifiers;
    for (const AppItem& app : apps)
        identifiers.append(app.bundleIdentifier);
    return identifiers;
}

QStringList numbered(const QString& prefix, int count) {
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(prefix + QString::number(i));
    return list;
}

} // namespace

class TestFolderContents : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void preview_data();
    void preview();
    void previewTakesTheFirstOfDuplicateIdentifiers();
    void members_data();
    void members();
    void candidates_data();
    void candidates();
    void candidatesKeepTheCatalogueOrder();
};

void TestFolderContents::preview_data() {
    QTest::addColumn<QStringList>("catalogue");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QStringList>("expected");

    const QStringList twelve = numbered(QStringLiteral("app"), 12);
    QTest::addRow("no members") << twelve << QStringList{} << QStringList{};
    QTest::addRow("no member resolves") << twelve << QStringList{"gone1", "gone2"} << QStringList{};
    QTest::addRow("one row") << twelve << QStringList{"app3", "app1", "app2"}
                             << QStringList{"app3", "app1", "app2"};
    QTest::addRow("exactly nine") << twelve << numbered(QStringLiteral("app"), 9)
                                  << numbered(QStringLiteral("app"), 9);
    QTest::addRow("twelve members show the first nine")
        << twelve << twelve << numbered(QStringLiteral("app"), 9);
    QTest::addRow("folder order, not catalogue order")
        << twelve << QStringList{"app12", "app5", "app7"} << QStringList{"app12", "app5", "app7"};

    QStringList gapsFirst{"gone1", "app1", "gone2", "app2"};
    gapsFirst += numbered(QStringLiteral("app"), 12).mid(2);
    QTest::addRow("unresolved among the first nine are not replaced by later members")
        << twelve << gapsFirst
        << QStringList{"app1", "app2", "app3", "app4", "app5", "app6", "app7"};
    QTest::addRow("case differs: no match")
        << twelve << QStringList{"APP1", "app2"} << QStringList{"app2"};
    QTest::addRow("empty catalogue") << QStringList{} << QStringList{"app1"} << QStringList{};
}

void TestFolderContents::preview() {
    QFETCH(QStringList, catalogue);
    QFETCH(QStringList, members);
    QFETCH(QStringList, expected);

    const AppList apps = makeApps(catalogue);
    const FolderItem folder{QUuid::createUuid(), QStringLiteral("F"), members};
    const AppList preview = previewApps(folder, apps);
    QCOMPARE(identifiersOf(preview), expected);
    QVERIFY(preview.size() <= folderPreviewLimit);
}

void TestFolderContents::previewTakesTheFirstOfDuplicateIdentifiers() {
    // Two catalogue entries with one identifier: the first in the list wins, so
    // the preview shows the same icon the grid resolves everywhere else.
    AppList apps = makeApps({"dup", "other"});
    AppItem second = apps.first();
    second.id = QUuid::createUuid();
    second.path = QStringLiteral("/elsewhere/dup.app");
    apps.append(second);

    const FolderItem folder{QUuid::createUuid(), QStringLiteral("F"), {"dup", "dup", "other"}};
    const AppList preview = previewApps(folder, apps);
    QCOMPARE(preview.size(), 2);
    QCOMPARE(preview.at(0).id, apps.at(0).id);
    QCOMPARE(preview.at(1).bundleIdentifier, QStringLiteral("other"));

    const AppList members = folderApps(folder, apps);
    QCOMPARE(members.size(), 2);
    QCOMPARE(members.at(0).id, apps.at(0).id);
}

void TestFolderContents::members_data() {
    QTest::addColumn<QStringList>("catalogue");
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QStringList>("expected");

    const QStringList twenty = numbered(QStringLiteral("app"), 20);
    QTest::addRow("empty folder") << twenty << QStringList{} << QStringList{};
    QTest::addRow("more than nine are all shown")
        << twenty << numbered(QStringLiteral("app"), 15) << numbered(QStringLiteral("app"), 15);
    QTest::addRow("unresolved skipped, order kept")
        << twenty << QStringList{"app4", "hidden", "app2", "uninstalled", "app9"}
        << QStringList{"app4", "app2", "app9"};
    QStringList manyWithDuplicates = numbered(QStringLiteral("app"), 12);
    manyWithDuplicates.insert(3, QStringLiteral("app1"));
    QTest::addRow("a repeated identifier shows once")
        << twenty << manyWithDuplicates << numbered(QStringLiteral("app"), 12);
    QTest::addRow("filtered catalogue")
        << QStringList{"app2"} << QStringList{"app1", "app2", "app3"} << QStringList{"app2"};
}

void TestFolderContents::members() {
    QFETCH(QStringList, catalogue);
    QFETCH(QStringList, members);
    QFETCH(QStringList, expected);

    const FolderItem folder{QUuid::createUuid(), QStringLiteral("F"), members};
    QCOMPARE(identifiersOf(folderApps(folder, makeApps(catalogue))), expected);
}

void TestFolderContents::candidates_data() {
    QTest::addColumn<QStringList>("thisFolder");
    QTest::addColumn<bool>("thisFolderStored");
    QTest::addColumn<QStringList>("otherFolder");
    QTest::addColumn<QStringList>("expected");

    QTest::addRow("nothing in folders")
        << QStringList{} << false << QStringList{} << QStringList{"a", "b", "c", "d"};
    QTest::addRow("own members are not offered")
        << QStringList{"b"} << true << QStringList{} << QStringList{"a", "c", "d"};
    QTest::addRow("members of another folder are not offered")
        << QStringList{"a"} << true << QStringList{"c", "d"} << QStringList{"b"};
    QTest::addRow("own members are left out although the folder is gone")
        << QStringList{"a", "b"} << false << QStringList{"d"} << QStringList{"c"};
    QTest::addRow("everything already in some folder")
        << QStringList{"a", "b"} << true << QStringList{"c", "d"} << QStringList{};
    QTest::addRow("stored members that are not installed change nothing")
        << QStringList{"zz"} << true << QStringList{"yy"} << QStringList{"a", "b", "c", "d"};
}

void TestFolderContents::candidates() {
    QFETCH(QStringList, thisFolder);
    QFETCH(bool, thisFolderStored);
    QFETCH(QStringList, otherFolder);
    QFETCH(QStringList, expected);

    RecordingDefaultsStore store;
    AppSettings settings(store);
    FolderItem folder{QUuid::createUuid(), QStringLiteral("Mine"), thisFolder};
    if (thisFolderStored)
        folder = settings.createFolder(folder.name, folder.appBundleIds);
    if (!otherFolder.isEmpty())
        settings.createFolder(QStringLiteral("Other"), otherFolder);
    const qsizetype writesBefore = store.writes.size();

    const AppList apps = makeApps({"a", "b", "c", "d"});
    QCOMPARE(identifiersOf(pickerCandidates(folder, apps, settings)), expected);
    QCOMPARE(store.writes.size(), writesBefore);
}

void TestFolderContents::candidatesKeepTheCatalogueOrder() {
    RecordingDefaultsStore store;
    AppSettings settings(store);
    const FolderItem folder = settings.createFolder(QStringLiteral("F"), {"m"});
    const AppList apps = makeApps({"z", "m", "a", "k"});
    const AppList candidates = pickerCandidates(folder, apps, settings);
    QCOMPARE(identifiersOf(candidates), (QStringList{"z", "a", "k"}));
    // Candidates are the catalogue's own records, ids included.
    QCOMPARE(candidates.at(1).id, apps.at(2).id);
}

QTEST_GUILESS_MAIN(TestFolderContents)
#include "tst_foldercontents.moc"
