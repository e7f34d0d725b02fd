#include "CatalogueOrdering.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QtTest/QTest>

#include <algorithm>
#include <climits>

// The published order: hidden applications left out, then the manual order or
// the alphabetical one, both stable.
class TestCatalogueOrdering : public QObject {
    Q_OBJECT

private:
    // "Name|identifier" entries; each record gets its own path.
    static AppList apps(const QStringList& entries) {
        AppList list;
        for (const QString& entry : entries) {
            const QString name = entry.section(u'|', 0, 0);
            const QString id = entry.section(u'|', 1);
            list.append({QUuid::createUuid(), name, id, "/apps/" + id, {}});
        }
        return list;
    }

    static QStringList identifiers(const AppList& list) {
        QStringList ids;
        for (const AppItem& app : list)
            ids.append(app.bundleIdentifier);
        return ids;
    }

    // The rule written out the slow, obvious way, to check the indexed one against.
    static AppList reference(const AppList& discovered, const QSet<QString>& hidden,
                             const QStringList& order) {
        AppList visible;
        for (const AppItem& app : discovered) {
            if (!hidden.contains(app.bundleIdentifier))
                visible.append(app);
        }
        if (order.isEmpty()) {
            const QCollator collator = appNameCollator();
            std::stable_sort(visible.begin(), visible.end(),
                             [&](const AppItem& a, const AppItem& b) {
                                 return collator.compare(a.name, b.name) < 0;
                             });
            return visible;
        }
        const auto key = [&order](const AppItem& app) {
            const qsizetype at = order.indexOf(app.bundleIdentifier);
            return at < 0 ? LLONG_MAX : qint64(at);
        };
        std::stable_sort(visible.begin(), visible.end(),
                         [&](const AppItem& a, const AppItem& b) { return key(a) < key(b); });
        return visible;
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void order_data() {
        QTest::addColumn<QStringList>("discovered");
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<QStringList>("customOrder");
        QTest::addColumn<QStringList>("expected");

        QTest::addRow("alphabetical, case ignored")
            << QStringList{"zeta|z", "Alpha|a", "beta|b"} << QStringList{} << QStringList{}
            << QStringList{"a", "b", "z"};
        QTest::addRow("a lower-case name sorts where its upper-case form would")
            << QStringList{"Cherry|c", "apple|a", "Banana|b", "Apricot|ap"} << QStringList{}
            << QStringList{} << QStringList{"a", "ap", "b", "c"};
        QTest::addRow("names differing only in case keep discovery order")
            << QStringList{"mail|m2", "Mail|m1", "Zip|z", "MAIL|m3"} << QStringList{}
            << QStringList{} << QStringList{"m2", "m1", "m3", "z"};
        QTest::addRow("digits compare one by one, not as numbers")
            << QStringList{"App 10|x10", "App 2|x2", "App 1|x1"} << QStringList{} << QStringList{}
            << QStringList{"x1", "x10", "x2"};
        QTest::addRow("accented letters sort with their base letter")
            << QStringList{"Zoo|z", "Émile|e", "Eagle|ea", "Fig|f"} << QStringList{}
            << QStringList{} << QStringList{"ea", "e", "f", "z"};
        QTest::addRow("hidden applications are left out of the alphabetical order")
            << QStringList{"B|b", "A|a", "C|c"} << QStringList{"a"} << QStringList{}
            << QStringList{"b", "c"};
        QTest::addRow("manual order; the unlisted follow in discovery order")
            << QStringList{"A|A", "B|B", "C|C", "D|D"} << QStringList{} << QStringList{"B", "A"}
            << QStringList{"B", "A", "C", "D"};
        QTest::addRow("newly installed go last, not to their alphabetical place")
            << QStringList{"Zed|z", "Apple|a", "Mid|m"} << QStringList{} << QStringList{"m"}
            << QStringList{"m", "z", "a"};
        QTest::addRow("hidden is absent even when first in the manual order")
            << QStringList{"A|A", "B|B", "C|C"} << QStringList{"A"} << QStringList{"A", "C", "B"}
            << QStringList{"C", "B"};
        QTest::addRow("the first occurrence of a repeated identifier counts")
            << QStringList{"A|A", "B|B", "C|C"} << QStringList{} << QStringList{"C", "A", "C", "B"}
            << QStringList{"C", "A", "B"};
        QTest::addRow("ordered identifiers that are not installed are ignored")
            << QStringList{"A|A", "B|B", "C|C"} << QStringList{} << QStringList{"X", "B", "Y", "A"}
            << QStringList{"B", "A", "C"};
        QTest::addRow("identifiers match exactly, case included")
            << QStringList{"A|com.a", "B|com.b"} << QStringList{"COM.B"}
            << QStringList{"com.b", "COM.A"} << QStringList{"com.b", "com.a"};
        QTest::addRow("everything hidden") << QStringList{"A|A", "B|B"} << QStringList{"A", "B"}
                                           << QStringList{"B"} << QStringList{};
        QTest::addRow("nothing discovered")
            << QStringList{} << QStringList{"A"} << QStringList{"A"} << QStringList{};
    }

    void order() {
        QFETCH(QStringList, discovered);
        QFETCH(QStringList, hidden);
        QFETCH(QStringList, customOrder);
        QFETCH(QStringList, expected);

        const AppList input = apps(discovered);
        const QSet<QString> hiddenSet(hidden.cbegin(), hidden.cend());
        const AppList ordered = orderCatalogue(input, hiddenSet, customOrder);
        QCOMPARE(identifiers(ordered), expected);
        QCOMPARE(identifiers(reference(input, hiddenSet, customOrder)), expected);
    }

    void recordsAreKeptWhole() {
        const AppList input = apps({"B|b", "A|a"});
        const AppList ordered = orderCatalogue(input, {}, {});
        QCOMPARE(ordered.size(), 2);
        QCOMPARE(ordered.at(0).id, input.at(1).id);
        QCOMPARE(ordered.at(0).path, input.at(1).path);
        QCOMPARE(ordered.at(1).id, input.at(0).id);
    }

    // Random catalogues against the plain rule: ties, repeats, unknown entries.
    void agreesWithThePlainRule_data() {
        QTest::addColumn<bool>("manual");
        QTest::addRow("manual order") << true;
        QTest::addRow("alphabetical") << false;
    }

    void agreesWithThePlainRule() {
        QFETCH(bool, manual);
        QRandomGenerator random(manual ? 7 : 11);
        const QStringList syllables{"ka", "Lo", "mi", "NU", "é", "za", "Ba", "o", " ", "1"};
        for (int round = 0; round < 20; ++round) {
            QStringList entries;
            const int count = 50 + int(random.bounded(300));
            for (int i = 0; i < count; ++i) {
                QString name;
                for (int s = 0, n = 1 + int(random.bounded(3)); s < n; ++s)
                    name += syllables.at(random.bounded(int(syllables.size())));
                entries.append(name + "|id" + QString::number(i));
            }
            const AppList input = apps(entries);
            QSet<QString> hidden;
            QStringList order;
            for (int i = 0; i < count; ++i) {
                if (random.bounded(10) == 0)
                    hidden.insert("id" + QString::number(random.bounded(count)));
                if (manual && random.bounded(3) != 0)
                    order.append("id" + QString::number(random.bounded(count + 20)));
            }
            QCOMPARE(identifiers(orderCatalogue(input, hidden, order)),
                     identifiers(reference(input, hidden, order)));
        }
    }

    void caseIsIgnoredInEveryLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addRow("C") << QLocale::c();
        QTest::addRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::addRow("German") << QLocale(QLocale::German, QLocale::Germany);
        QTest::addRow("Turkish") << QLocale(QLocale::Turkish, QLocale::Turkey);
    }

    void caseIsIgnoredInEveryLocale() {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        AppList list = apps({"notes|n", "Mail|m2", "clock|c", "mail|m1", "Zebra|z", "apple|a"});
        sortByName(list);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(identifiers(list), (QStringList{"a", "c", "m2", "m1", "n", "z"}));
    }

    void sortByNameIsStable() {
        AppList list = apps({"b|1", "A|2", "B|3", "a|4", "b|5"});
        sortByName(list);
        QCOMPARE(identifiers(list), (QStringList{"2", "4", "1", "3", "5"}));
    }
};

QTEST_GUILESS_MAIN(TestCatalogueOrdering)
#include "tst_catalogueordering.moc"
