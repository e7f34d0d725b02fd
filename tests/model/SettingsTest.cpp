#include "AppSettings.h"
#include "RecordingDefaultsStore.h"
#include "StdoutCapture.h"
#include "TestMain.h"

#include <QTest>

#include <functional>

using S = AppSettings;
using Op = std::function<void(S&)>;
Q_DECLARE_METATYPE(Op)

namespace {

const QUuid web = QUuid::fromString(QStringLiteral("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B"));
const QUuid solo = QUuid::fromString(QStringLiteral("11111111-2222-4333-8444-555555555555"));
const QByteArray folders =
    R"([{"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"Web","appBundleIds":["a","b"]},)"
    R"({"id":"11111111-2222-4333-8444-555555555555","name":"Solo","appBundleIds":["c"]}])";

// "order|hidden|folder:members|..."
QString describe(const S& settings) {
    QStringList parts{settings.customAppOrder().join(','), settings.hiddenAppList().join(',')};
    for (const FolderItem& folder : settings.folders())
        parts.append(folder.name + ':' + folder.appBundleIds.join(','));
    return parts.join('|');
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every assignment saves its key, changed or not; operations on an unknown
    // folder or a present member save nothing, except deleting.
    void operations_data() {
        QTest::addColumn<Op>("operation");
        QTest::addColumn<int>("saves");
        QTest::addColumn<QString>("after");

        const QString same = "|h|Web:a,b|Solo:c";
        // clang-format off
        QTest::addRow("hide") << Op([](S& s) { s.hideApp("n"); }) << 1 << "|h,n|Web:a,b|Solo:c";
        QTest::addRow("create") << Op([](S& s) { s.createFolder("N", {"x"}); }) << 1 << same + "|N:x";
        QTest::addRow("delete") << Op([](S& s) { s.deleteFolder(web); }) << 1 << "|h|Solo:c";
        QTest::addRow("delete unknown") << Op([](S& s) { s.deleteFolder(QUuid()); }) << 1 << same;
        QTest::addRow("rename") << Op([](S& s) { s.renameFolder(web, ""); }) << 1 << "|h|:a,b|Solo:c";
        QTest::addRow("rename unknown") << Op([](S& s) { s.renameFolder(QUuid(), "X"); }) << 0 << same;
        QTest::addRow("add") << Op([](S& s) { s.addAppToFolder(web, "z"); }) << 1 << "|h|Web:a,b,z|Solo:c";
        QTest::addRow("add again") << Op([](S& s) { s.addAppToFolder(web, "b"); }) << 0 << same;
        QTest::addRow("remove") << Op([](S& s) { s.removeAppFromFolder(web, "a"); }) << 1 << "|h|Web:b|Solo:c";
        QTest::addRow("remove the last: the folder goes") << Op([](S& s) { s.removeAppFromFolder(solo, "c"); }) << 2 << "|h|Web:a,b";
        QTest::addRow("same folders") << Op([](S& s) { s.setFolders(s.folders()); }) << 1 << same;
        QTest::addRow("order") << Op([](S& s) { s.setCustomAppOrder({"b", "a"}); }) << 1 << "b,a" + same;
        // clang-format on
    }

    void operations() {
        QFETCH(Op, operation);
        QFETCH(int, saves);
        QFETCH(QString, after);
        RecordingDefaultsStore store;
        // A hidden identifier stored twice loads once.
        store.values = {{S::hiddenAppsKey, R"(["h","h"])"_qba}, {S::foldersKey, folders}};
        S settings(store);
        operation(settings);

        QCOMPARE(store.writes.size(), saves);
        QCOMPARE(describe(settings), after);
        QCOMPARE(describe(S(store)), after);
    }

    // A value that cannot be read loads as empty and is copied aside, to the
    // first free backup key, before the first save overwrites it.
    void unreadableValueIsKeptAside_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("backupFails");

        // clang-format off
        QTest::addRow("text, not data") << S::customAppOrderKey << QVariant(R"(["a"])") << false;
        QTest::addRow("truncated") << S::hiddenAppsKey << QVariant(R"(["a")"_qba) << false;
        QTest::addRow("one bad id of two") << S::foldersKey << QVariant(folders.chopped(1) + R"(,{"id":"bad"}])") << false;
        QTest::addRow("no copy can be kept: left as it is") << S::customAppOrderKey << QVariant(42) << true;
        // clang-format on
    }

    void unreadableValueIsKeptAside() {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(bool, backupFails);
        RecordingDefaultsStore store;
        store.values = {{key, stored}, {key + ".unreadable", "older"}};
        store.failingKeys = {backupFails ? key + ".unreadable.2" : QString()};
        S settings(store);
        QCOMPARE(describe(settings), "|");
        QVERIFY(store.writes.isEmpty());

        StdoutCapture out;
        for (int save = 0; save < 2; ++save)
            key == S::foldersKey      ? settings.setFolders({})
            : key == S::hiddenAppsKey ? settings.setHiddenApps({})
                                      : settings.setCustomAppOrder({});
        QCOMPARE(store.values.value(key + ".unreadable"), QVariant("older"));
        QCOMPARE(store.values.value(key + ".unreadable.2"), backupFails ? QVariant() : stored);
        QCOMPARE(store.values.value(key), backupFails ? stored : QVariant("[]"_qba));
        QCOMPARE(out.lines().size(), backupFails ? 2 : 1);
    }
};

QUORLIN_TEST(SettingsTest)
#include "SettingsTest.moc"
