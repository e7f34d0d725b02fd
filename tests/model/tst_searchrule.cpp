#include "SearchRule.h"

#include <QtTest/QTest>

// The search rule shared by the main screen and the folder picker.
class TestSearchRule : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matchesSearch_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("matches");

        QTest::addRow("empty search matches everything") << "Maps"
                                                         << "" << true;
        QTest::addRow("empty search matches an empty name") << ""
                                                            << "" << true;
        QTest::addRow("substring anywhere") << "Photo Booth"
                                            << "to bo" << true;
        QTest::addRow("case ignored") << "Calculator"
                                      << "CALC" << true;
        QTest::addRow("case ignored beyond ASCII") << "Éditeur"
                                                   << "édit" << true;
        QTest::addRow("no match") << "Maps"
                                  << "mail" << false;
        QTest::addRow("a space is a character to find") << "Maps"
                                                        << " " << false;
        QTest::addRow("a space is not trimmed") << "Photo Booth"
                                                << "Photo " << true;
        QTest::addRow("leading space is kept") << "Maps"
                                               << " Maps" << false;
        QTest::addRow("longer than the name") << "Map"
                                              << "Maps" << false;
        QTest::addRow("no tokenising") << "Text Edit"
                                       << "Edit Text" << false;
    }

    void matchesSearch() {
        QFETCH(QString, name);
        QFETCH(QString, search);
        QFETCH(bool, matches);
        QCOMPARE(::matchesSearch(name, search), matches);
    }

    void filterAppsKeepsOrder_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("everything for no search")
            << "" << QStringList{"Zed Mail", "Maps", "Mail", "Notes"};
        QTest::addRow("matches in their given order")
            << "ma" << QStringList{"Zed Mail", "Maps", "Mail"};
        QTest::addRow("nothing") << "xyz" << QStringList{};
    }

    void filterAppsKeepsOrder() {
        QFETCH(QString, search);
        QFETCH(QStringList, expected);
        AppList apps;
        for (const char* name : {"Zed Mail", "Maps", "Mail", "Notes"})
            apps.append({QUuid::createUuid(), QString::fromUtf8(name), {}, {}, {}});
        QStringList names;
        for (const AppItem& app : filterApps(apps, search))
            names.append(app.name);
        QCOMPARE(names, expected);
    }
};

QTEST_GUILESS_MAIN(TestSearchRule)
#include "tst_searchrule.moc"
