#include "FolderNameSuggestion.h"

#include <QTest>

class FolderNameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void suggestion_data();
    void suggestion();
};

void FolderNameTest::suggestion_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("expected");

    QTest::addRow("empty list") << QStringList() << QStringLiteral("Folder");
    QTest::addRow("no keyword") << QStringList{QStringLiteral("Notes"), QStringLiteral("Maps")}
                                << QStringLiteral("Folder");
    QTest::addRow("keyword inside a longer word")
        << QStringList{QStringLiteral("1Password"), QStringLiteral("Maps")}
        << QStringLiteral("Productivity");
    QTest::addRow("mixed case keyword")
        << QStringList{QStringLiteral("Maps"), QStringLiteral("Visual Studio CoDe")}
        << QStringLiteral("Development");
    QTest::addRow("code inside another word")
        << QStringList{QStringLiteral("Encoder"), QStringLiteral("Maps")}
        << QStringLiteral("Development");
    QTest::addRow("web beats development, whichever comes first")
        << QStringList{QStringLiteral("Xcode"), QStringLiteral("Safari")} << QStringLiteral("Web");
    QTest::addRow("productivity beats web")
        << QStringList{QStringLiteral("Firefox"), QStringLiteral("Microsoft Excel")}
        << QStringLiteral("Productivity");
    QTest::addRow("design is last")
        << QStringList{QStringLiteral("Figma"), QStringLiteral("Terminal")}
        << QStringLiteral("Development");
    QTest::addRow("design alone") << QStringList{QStringLiteral("Adobe Illustrator"),
                                                 QStringLiteral("Maps")}
                                  << QStringLiteral("Design");
    QTest::addRow("non-ASCII upper case lowered")
        << QStringList{QStringLiteral("ÉDITEUR WORD")} << QStringLiteral("Productivity");
    QTest::addRow("keyword split across names does not count")
        << QStringList{QStringLiteral("Fire"), QStringLiteral("fox")} << QStringLiteral("Folder");
}

void FolderNameTest::suggestion() {
    QFETCH(QStringList, names);
    QFETCH(QString, expected);

    AppList apps;
    for (const QString& name : names)
        apps.append(AppItem{QUuid::createUuid(), name, name, QString(), QImage()});
    QCOMPARE(suggestFolderName(apps), expected);
}

QTEST_GUILESS_MAIN(FolderNameTest)
#include "tst_foldername.moc"
