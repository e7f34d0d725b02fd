#include "AppItem.h"
#include "FolderItem.h"
#include "UuidText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class CatalogueRecordsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void appItemEquality_data();
    void appItemEquality();
    void folderEncodesCanonicalForm();
    void folderDecodes_data();
    void folderDecodes();
    void uuidText_data();
    void uuidText();
};

void CatalogueRecordsTest::appItemEquality_data() {
    QTest::addColumn<AppItem>("a");
    QTest::addColumn<AppItem>("b");
    QTest::addColumn<bool>("equal");

    const AppItem base{QUuid::createUuid(), QStringLiteral("Notes"), QStringLiteral("org.notes"),
                       QStringLiteral("/Applications/Notes.app"), QImage()};
    AppItem rescanned = base;
    rescanned.id = QUuid::createUuid();
    rescanned.icon = QImage(4, 4, QImage::Format_ARGB32);
    rescanned.bundleIdentifier = QStringLiteral("org.other");
    AppItem moved = base;
    moved.path = QStringLiteral("/System/Applications/Notes.app");
    AppItem renamed = base;
    renamed.name = QStringLiteral("notes");

    QTest::addRow("same bundle from two scans") << base << rescanned << true;
    QTest::addRow("same identifier at another path") << base << moved << false;
    QTest::addRow("name differs only in case") << base << renamed << false;
}

void CatalogueRecordsTest::appItemEquality() {
    QFETCH(AppItem, a);
    QFETCH(AppItem, b);
    QFETCH(bool, equal);
    QCOMPARE(a == b, equal);
}

void CatalogueRecordsTest::folderEncodesCanonicalForm() {
    const QUuid id = QUuid::fromString(QStringLiteral("{6f1e2a3b-4c5d-4e6f-8a9b-0c1d2e3f4a5b}"));
    const FolderItem folder{
        id, QStringLiteral("Web"), {QStringLiteral("b.browser"), QStringLiteral("a.browser")}};

    const QByteArray json = QJsonDocument(folder.toJson()).toJson(QJsonDocument::Compact);
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    QCOMPARE(object.size(), 3);
    QCOMPARE(object.value(QStringLiteral("id")).toString(),
             QStringLiteral("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B"));
    QVERIFY(!json.contains(' '));

    const std::optional<FolderItem> decoded = FolderItem::fromJson(object);
    QVERIFY(decoded);
    QCOMPARE(*decoded, folder);
    QCOMPARE(decoded->appBundleIds.first(), QStringLiteral("b.browser"));
}

void CatalogueRecordsTest::folderDecodes_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");
    QTest::addColumn<QStringList>("members");

    const QStringList two{QStringLiteral("x"), QStringLiteral("y")};
    QTest::addRow("keys in writer's order")
        << QByteArray(R"({"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"A",)"
                      R"("appBundleIds":["x","y"]})")
        << true << two;
    QTest::addRow("keys in another order")
        << QByteArray(R"({"appBundleIds":["x","y"],"name":"A",)"
                      R"("id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B"})")
        << true << two;
    QTest::addRow("lower-case id")
        << QByteArray(R"({"id":"6f1e2a3b-4c5d-4e6f-8a9b-0c1d2e3f4a5b","name":"",)"
                      R"("appBundleIds":[]})")
        << true << QStringList();
    QTest::addRow("extra key ignored")
        << QByteArray(R"({"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"A",)"
                      R"("appBundleIds":["x","y"],"colour":"red"})")
        << true << two;
    QTest::addRow("missing appBundleIds")
        << QByteArray(R"({"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"A"})") << false
        << QStringList();
    QTest::addRow("missing name")
        << QByteArray(R"({"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","appBundleIds":[]})") << false
        << QStringList();
    QTest::addRow("missing id") << QByteArray(R"({"name":"A","appBundleIds":[]})") << false
                                << QStringList();
    QTest::addRow("name is a number")
        << QByteArray(R"({"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":3,)"
                      R"("appBundleIds":[]})")
        << false << QStringList();
    QTest::addRow("member is not a string")
        << QByteArray(R"({"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"A",)"
                      R"("appBundleIds":["x",1]})")
        << false << QStringList();
    QTest::addRow("appBundleIds is a string")
        << QByteArray(R"({"id":"6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B","name":"A",)"
                      R"("appBundleIds":"x"})")
        << false << QStringList();
    QTest::addRow("id is not a UUID")
        << QByteArray(R"({"id":"not-a-uuid","name":"A","appBundleIds":[]})") << false
        << QStringList();
    QTest::addRow("id with braces")
        << QByteArray(R"({"id":"{6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B}","name":"A",)"
                      R"("appBundleIds":[]})")
        << false << QStringList();
    QTest::addRow("id is a number")
        << QByteArray(R"({"id":7,"name":"A","appBundleIds":[]})") << false << QStringList();
    QTest::addRow("not an object") << QByteArray(R"(["x"])") << false << QStringList();
}

void CatalogueRecordsTest::folderDecodes() {
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);
    QFETCH(QStringList, members);

    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonValue value =
        document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());
    const std::optional<FolderItem> folder = FolderItem::fromJson(value);
    QCOMPARE(folder.has_value(), decodes);
    if (folder)
        QCOMPARE(folder->appBundleIds, members);
}

void CatalogueRecordsTest::uuidText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::addRow("canonical") << QStringLiteral("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5B") << true;
    QTest::addRow("nil uuid") << QStringLiteral("00000000-0000-0000-0000-000000000000") << true;
    QTest::addRow("too short") << QStringLiteral("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5") << false;
    QTest::addRow("hyphen misplaced")
        << QStringLiteral("6F1E2A3B4-C5D-4E6F-8A9B-0C1D2E3F4A5B") << false;
    QTest::addRow("non-hex digit")
        << QStringLiteral("6F1E2A3B-4C5D-4E6F-8A9B-0C1D2E3F4A5G") << false;
    QTest::addRow("empty") << QString() << false;
}

void CatalogueRecordsTest::uuidText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);

    const std::optional<QUuid> parsed = parseUuidText(text);
    QCOMPARE(parsed.has_value(), valid);
    if (parsed)
        QCOMPARE(::uuidText(*parsed), text.toUpper());
}

QTEST_GUILESS_MAIN(CatalogueRecordsTest)
#include "tst_catalogue_records.moc"
