#include "AppSettings.h"
#include "QSettingsDefaultsStore.h"
#include "RecordingDefaultsStore.h"
#include "StdoutCapture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString folderA = QStringLiteral("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B");
const QString folderB = QStringLiteral("11111111-2222-4333-8444-555555555555");

QByteArray json(const char* text) {
    return QByteArray(text);
}

// Two stored folders: A with two members, B with one.
QByteArray twoFolders() {
    return json(R"([{"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"Web",)"
                R"("appBundleIds":["org.a","org.b"]},)"
                R"({"id":"11111111-2222-4333-8444-555555555555","name":"Solo",)"
                R"("appBundleIds":["org.c"]}])");
}

QJsonArray storedArray(const RecordingDefaultsStore& store, const QString& key) {
    return QJsonDocument::fromJson(store.values.value(key).toByteArray()).array();
}

} // namespace

class AppSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyStoreLoadsEmptyAndWritesNothing();
    void unreadableValuesLoadEmpty_data();
    void unreadableValuesLoadEmpty();
    void repeatedHiddenIdentifierCollapses();
    void notificationsAndSavesPerOperation_data();
    void notificationsAndSavesPerOperation();
    void operationResults();
    void createFolderTwiceMakesTwoFolders();
    void isAppInFolder_data();
    void isAppInFolder();
    void persistsAcrossInstances();
    void unreadableValueIsKeptBeforeOverwrite();
    void failedBackupLeavesValueUntouched();
};

void AppSettingsTest::emptyStoreLoadsEmptyAndWritesNothing() {
    RecordingDefaultsStore store;
    AppSettings settings(store);
    QVERIFY(settings.customAppOrder().isEmpty());
    QVERIFY(settings.hiddenApps().isEmpty());
    QVERIFY(settings.folders().isEmpty());
    QVERIFY(store.writes.isEmpty());
}

void AppSettingsTest::unreadableValuesLoadEmpty_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");

    const QString keys[] = {AppSettings::customAppOrderKey, AppSettings::hiddenAppsKey,
                            AppSettings::foldersKey};
    for (const QString& key : keys) {
        const QByteArray k = key.toUtf8();
        QTest::addRow("%s: a string, not data", k.constData())
            << key << QVariant(QStringLiteral(R"(["org.a"])"));
        QTest::addRow("%s: truncated JSON", k.constData()) << key << QVariant(json(R"(["org.a")"));
        QTest::addRow("%s: an object", k.constData()) << key << QVariant(json(R"({"a":1})"));
        QTest::addRow("%s: a number", k.constData()) << key << QVariant(42);
        QTest::addRow("%s: binary garbage", k.constData())
            << key << QVariant(QByteArray("\x00\xff\xfe\x01", 4));
    }
    QTest::addRow("customAppOrder: number inside")
        << AppSettings::customAppOrderKey << QVariant(json(R"(["org.a",3])"));
    QTest::addRow("folders: one folder with a bad id")
        << AppSettings::foldersKey
        << QVariant(json(R"([{"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"A",)"
                         R"("appBundleIds":[]},{"id":"bad","name":"B","appBundleIds":[]}])"));
    QTest::addRow("folders: array of strings")
        << AppSettings::foldersKey << QVariant(json(R"(["org.a"])"));
}

void AppSettingsTest::unreadableValuesLoadEmpty() {
    QFETCH(QString, key);
    QFETCH(QVariant, stored);

    RecordingDefaultsStore store;
    store.values.insert(key, stored);
    store.values.insert(AppSettings::hiddenAppsKey == key ? AppSettings::customAppOrderKey
                                                          : AppSettings::hiddenAppsKey,
                        json(R"(["org.kept"])"));
    AppSettings settings(store);

    QVERIFY(settings.folders().isEmpty() || key != AppSettings::foldersKey);
    if (key == AppSettings::customAppOrderKey) {
        QVERIFY(settings.customAppOrder().isEmpty());
        QCOMPARE(settings.hiddenApps(), QSet<QString>{QStringLiteral("org.kept")});
    } else if (key == AppSettings::hiddenAppsKey) {
        QVERIFY(settings.hiddenApps().isEmpty());
        QCOMPARE(settings.customAppOrder(), QStringList{QStringLiteral("org.kept")});
    } else {
        QVERIFY(settings.folders().isEmpty());
    }
    QVERIFY(store.writes.isEmpty());
    QCOMPARE(store.values.value(key), stored);
}

void AppSettingsTest::repeatedHiddenIdentifierCollapses() {
    RecordingDefaultsStore store;
    store.values.insert(AppSettings::hiddenAppsKey, json(R"(["org.a","org.b","org.a"])"));
    AppSettings settings(store);
    QCOMPARE(settings.hiddenApps().size(), 2);

    settings.hideApp(QStringLiteral("org.b"));
    const QJsonArray saved = storedArray(store, AppSettings::hiddenAppsKey);
    QCOMPARE(saved.size(), 2);
    QCOMPARE(saved.toVariantList().count(QStringLiteral("org.a")), 1);
}

enum class Operation {
    HideNew,
    HideAgain,
    Create,
    DeleteExisting,
    DeleteUnknown,
    RenameExisting,
    RenameUnknown,
    AddNew,
    AddPresent,
    AddUnknownFolder,
    RemoveFromTwo,
    RemoveLast,
    RemoveNonMember,
    RemoveUnknownFolder,
    AssignSameFolders,
    AssignOrder,
};

void AppSettingsTest::notificationsAndSavesPerOperation_data() {
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("folderSaves");
    QTest::addColumn<int>("hiddenSaves");
    QTest::addColumn<int>("orderSaves");

    QTest::addRow("hide a new identifier") << Operation::HideNew << 0 << 1 << 0;
    QTest::addRow("hide an already hidden identifier") << Operation::HideAgain << 0 << 1 << 0;
    QTest::addRow("create a folder") << Operation::Create << 1 << 0 << 0;
    QTest::addRow("delete a folder") << Operation::DeleteExisting << 1 << 0 << 0;
    QTest::addRow("delete an unknown folder still saves")
        << Operation::DeleteUnknown << 1 << 0 << 0;
    QTest::addRow("rename a folder") << Operation::RenameExisting << 1 << 0 << 0;
    QTest::addRow("rename an unknown folder") << Operation::RenameUnknown << 0 << 0 << 0;
    QTest::addRow("add a new member") << Operation::AddNew << 1 << 0 << 0;
    QTest::addRow("add a present member") << Operation::AddPresent << 0 << 0 << 0;
    QTest::addRow("add to an unknown folder") << Operation::AddUnknownFolder << 0 << 0 << 0;
    QTest::addRow("remove one of two members") << Operation::RemoveFromTwo << 1 << 0 << 0;
    QTest::addRow("remove the last member deletes") << Operation::RemoveLast << 2 << 0 << 0;
    QTest::addRow("remove a non-member still saves") << Operation::RemoveNonMember << 1 << 0 << 0;
    QTest::addRow("remove from an unknown folder") << Operation::RemoveUnknownFolder << 0 << 0 << 0;
    QTest::addRow("assign the same folders") << Operation::AssignSameFolders << 1 << 0 << 0;
    QTest::addRow("assign an order") << Operation::AssignOrder << 0 << 0 << 1;
}

void AppSettingsTest::notificationsAndSavesPerOperation() {
    QFETCH(Operation, operation);
    QFETCH(int, folderSaves);
    QFETCH(int, hiddenSaves);
    QFETCH(int, orderSaves);

    RecordingDefaultsStore store;
    store.values.insert(AppSettings::foldersKey, twoFolders());
    store.values.insert(AppSettings::hiddenAppsKey, json(R"(["org.hidden"])"));
    AppSettings settings(store);
    QSignalSpy folderSpy(&settings, &AppSettings::foldersChanged);
    QSignalSpy hiddenSpy(&settings, &AppSettings::hiddenAppsChanged);
    QSignalSpy orderSpy(&settings, &AppSettings::customAppOrderChanged);

    const QUuid a = QUuid::fromString(folderA);
    const QUuid b = QUuid::fromString(folderB);
    const QUuid unknown = QUuid::createUuid();
    switch (operation) {
    case Operation::HideNew:
        settings.hideApp(QStringLiteral("org.new"));
        break;
    case Operation::HideAgain:
        settings.hideApp(QStringLiteral("org.hidden"));
        break;
    case Operation::Create:
        settings.createFolder(QStringLiteral("New"), {QStringLiteral("org.x")});
        break;
    case Operation::DeleteExisting:
        settings.deleteFolder(a);
        break;
    case Operation::DeleteUnknown:
        settings.deleteFolder(unknown);
        break;
    case Operation::RenameExisting:
        settings.renameFolder(a, QStringLiteral("Renamed"));
        break;
    case Operation::RenameUnknown:
        settings.renameFolder(unknown, QStringLiteral("X"));
        break;
    case Operation::AddNew:
        settings.addAppToFolder(a, QStringLiteral("org.z"));
        break;
    case Operation::AddPresent:
        settings.addAppToFolder(a, QStringLiteral("org.b"));
        break;
    case Operation::AddUnknownFolder:
        settings.addAppToFolder(unknown, QStringLiteral("org.z"));
        break;
    case Operation::RemoveFromTwo:
        settings.removeAppFromFolder(a, QStringLiteral("org.a"));
        break;
    case Operation::RemoveLast:
        settings.removeAppFromFolder(b, QStringLiteral("org.c"));
        break;
    case Operation::RemoveNonMember:
        settings.removeAppFromFolder(a, QStringLiteral("org.z"));
        break;
    case Operation::RemoveUnknownFolder:
        settings.removeAppFromFolder(unknown, QStringLiteral("org.a"));
        break;
    case Operation::AssignSameFolders:
        settings.setFolders(settings.folders());
        break;
    case Operation::AssignOrder:
        settings.setCustomAppOrder({QStringLiteral("org.a")});
        break;
    }

    QCOMPARE(folderSpy.count(), folderSaves);
    QCOMPARE(store.writeCount(AppSettings::foldersKey), folderSaves);
    QCOMPARE(hiddenSpy.count(), hiddenSaves);
    QCOMPARE(store.writeCount(AppSettings::hiddenAppsKey), hiddenSaves);
    QCOMPARE(orderSpy.count(), orderSaves);
    QCOMPARE(store.writeCount(AppSettings::customAppOrderKey), orderSaves);
}

void AppSettingsTest::operationResults() {
    RecordingDefaultsStore store;
    store.values.insert(AppSettings::foldersKey, twoFolders());
    AppSettings settings(store);
    const QUuid a = QUuid::fromString(folderA);
    const QUuid b = QUuid::fromString(folderB);

    settings.addAppToFolder(a, QStringLiteral("org.z"));
    QCOMPARE(
        settings.folder(a)->appBundleIds,
        (QStringList{QStringLiteral("org.a"), QStringLiteral("org.b"), QStringLiteral("org.z")}));

    settings.removeAppFromFolder(a, QStringLiteral("org.a"));
    settings.removeAppFromFolder(a, QStringLiteral("org.b"));
    QCOMPARE(settings.folder(a)->appBundleIds, QStringList{QStringLiteral("org.z")});

    // The last member going takes the folder with it: one save with the empty
    // folder, one without it.
    const qsizetype before = store.writes.size();
    settings.removeAppFromFolder(b, QStringLiteral("org.c"));
    QCOMPARE(store.writes.size(), before + 2);
    const QJsonArray withEmpty =
        QJsonDocument::fromJson(store.writes.at(before).second.toByteArray()).array();
    QCOMPARE(withEmpty.size(), 2);
    QVERIFY(withEmpty.at(1).toObject().value(QStringLiteral("appBundleIds")).toArray().isEmpty());
    QVERIFY(!settings.folder(b));
    QCOMPARE(settings.folders().size(), 1);

    settings.renameFolder(a, QString());
    QCOMPARE(settings.folder(a)->name, QString());
    QVERIFY(!settings.isAppInFolder(QStringLiteral("org.c")));
}

void AppSettingsTest::createFolderTwiceMakesTwoFolders() {
    RecordingDefaultsStore store;
    AppSettings settings(store);
    const QStringList members{QStringLiteral("org.a"), QStringLiteral("org.b")};
    const FolderItem first = settings.createFolder(QStringLiteral("Web"), members);
    const FolderItem second = settings.createFolder(QStringLiteral("Web"), members);

    QVERIFY(first.id != second.id);
    QCOMPARE(settings.folders(), (FolderList{first, second}));
    const QJsonArray saved = storedArray(store, AppSettings::foldersKey);
    QCOMPARE(saved.size(), 2);
    QCOMPARE(saved.at(1).toObject().value(QStringLiteral("id")).toString(),
             second.id.toString(QUuid::WithoutBraces).toUpper());
}

void AppSettingsTest::isAppInFolder_data() {
    QTest::addColumn<QByteArray>("folders");
    QTest::addColumn<QString>("bundleId");
    QTest::addColumn<bool>("expected");

    QTest::addRow("no folders") << QByteArray() << QStringLiteral("org.a") << false;
    QTest::addRow("first member") << twoFolders() << QStringLiteral("org.a") << true;
    QTest::addRow("later member of a later folder")
        << twoFolders() << QStringLiteral("org.c") << true;
    QTest::addRow("case differs") << twoFolders() << QStringLiteral("ORG.A") << false;
    QTest::addRow("not listed") << twoFolders() << QStringLiteral("org.z") << false;
}

void AppSettingsTest::isAppInFolder() {
    QFETCH(QByteArray, folders);
    QFETCH(QString, bundleId);
    QFETCH(bool, expected);

    RecordingDefaultsStore store;
    if (!folders.isEmpty())
        store.values.insert(AppSettings::foldersKey, folders);
    AppSettings settings(store);
    QCOMPARE(settings.isAppInFolder(bundleId), expected);
}

void AppSettingsTest::persistsAcrossInstances() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("Quorlin.conf"));
    QUuid folderId;
    {
        QSettingsDefaultsStore store(file);
        AppSettings settings(store);
        settings.setCustomAppOrder({QStringLiteral("org.b"), QStringLiteral("org.a")});
        settings.hideApp(QStringLiteral("org.h"));
        folderId =
            settings.createFolder(QStringLiteral("Ünïcode name"), {QStringLiteral("org.c")}).id;
    }
    QSettingsDefaultsStore store(file);
    AppSettings settings(store);
    QCOMPARE(settings.customAppOrder(),
             (QStringList{QStringLiteral("org.b"), QStringLiteral("org.a")}));
    QCOMPARE(settings.hiddenApps(), QSet<QString>{QStringLiteral("org.h")});
    QCOMPARE(settings.folders().size(), 1);
    QCOMPARE(settings.folders().first().id, folderId);
    QCOMPARE(settings.folders().first().name, QStringLiteral("Ünïcode name"));

    // The stored value is compact JSON data, readable by any other build.
    const QByteArray raw = store.value(AppSettings::foldersKey).toByteArray();
    QVERIFY(raw.startsWith("[{\""));
    QVERIFY(raw.contains(folderId.toString(QUuid::WithoutBraces).toUpper().toUtf8()));
}

void AppSettingsTest::unreadableValueIsKeptBeforeOverwrite() {
    RecordingDefaultsStore store;
    const QByteArray broken =
        json(R"([{"id":"not-a-uuid","name":"Precious","appBundleIds":["org.a"]}])");
    store.values.insert(AppSettings::foldersKey, broken);
    store.values.insert(QStringLiteral("folders.unreadable"), json("older backup"));
    AppSettings settings(store);
    QVERIFY(settings.folders().isEmpty());

    StdoutCapture out;
    settings.hideApp(QStringLiteral("org.x"));
    QCOMPARE(store.values.value(AppSettings::foldersKey).toByteArray(), broken);

    settings.createFolder(QStringLiteral("New"), {QStringLiteral("org.b")});
    QCOMPARE(store.values.value(QStringLiteral("folders.unreadable")).toByteArray(),
             json("older backup"));
    QCOMPARE(store.values.value(QStringLiteral("folders.unreadable.2")).toByteArray(), broken);
    QCOMPARE(storedArray(store, AppSettings::foldersKey).size(), 1);
    QCOMPARE(out.lines().size(), 1);
    QVERIFY(out.lines().first().contains(QStringLiteral("folders.unreadable.2")));

    // Only the first save keeps a copy; later saves are plain.
    settings.createFolder(QStringLiteral("Another"), {});
    QCOMPARE(out.lines().size(), 1);
    QVERIFY(!store.values.contains(QStringLiteral("folders.unreadable.3")));
}

void AppSettingsTest::failedBackupLeavesValueUntouched() {
    RecordingDefaultsStore store;
    store.values.insert(AppSettings::customAppOrderKey, QStringLiteral("a string"));
    store.failingKeys.append(QStringLiteral("customAppOrder.unreadable"));
    AppSettings settings(store);

    StdoutCapture out;
    QSignalSpy spy(&settings, &AppSettings::customAppOrderChanged);
    settings.setCustomAppOrder({QStringLiteral("org.a")});
    QCOMPARE(spy.count(), 1);
    QCOMPARE(settings.customAppOrder(), QStringList{QStringLiteral("org.a")});
    QCOMPARE(store.values.value(AppSettings::customAppOrderKey).toString(),
             QStringLiteral("a string"));
    QCOMPARE(out.lines().size(), 1);
}

QTEST_GUILESS_MAIN(AppSettingsTest)
#include "tst_appsettings.moc"
