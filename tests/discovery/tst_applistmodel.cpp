#include "AppIconSource.h"
#include "AppListModel.h"
#include "UuidText.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest/QTest>

// The list model behind every application list in QML: its roles, and that it
// follows a new list by inserts, removes and moves rather than by resets.
class TestAppListModel : public QObject {
    Q_OBJECT

private:
    // One record per letter; a letter keeps its path and name across calls, so
    // the same letter in two lists is the same application.
    static AppList apps(const QString& letters) {
        AppList list;
        for (const QChar letter : letters)
            list.append({QUuid::createUuid(),
                         QString(letter),
                         "id." + QString(letter),
                         "/apps/" + QString(letter) + ".app",
                         {}});
        return list;
    }

    static QString letters(const AppListModel& model) {
        QString text;
        for (int row = 0; row < model.rowCount(); ++row)
            text += model.data(model.index(row), AppListModel::NameRole).toString();
        return text;
    }

    struct Signals {
        explicit Signals(AppListModel& model)
            : resets(&model, &QAbstractItemModel::modelReset)
            , inserts(&model, &QAbstractItemModel::rowsInserted)
            , removes(&model, &QAbstractItemModel::rowsRemoved)
            , moves(&model, &QAbstractItemModel::rowsMoved)
            , changes(&model, &QAbstractItemModel::dataChanged) {}
        QSignalSpy resets;
        QSignalSpy inserts;
        QSignalSpy removes;
        QSignalSpy moves;
        QSignalSpy changes;
    };

private Q_SLOTS:
    void roles() {
        AppListModel model;
        const QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const AppList list{{QUuid::createUuid(), "Maps", "com.example.maps", "/A/Maps.app", {}}};
        model.setApps(list);

        const QHash<int, QByteArray> names = model.roleNames();
        QCOMPARE(names.value(AppListModel::AppIdRole), QByteArray("appId"));
        QCOMPARE(names.value(AppListModel::NameRole), QByteArray("name"));
        QCOMPARE(names.value(AppListModel::BundleIdentifierRole), QByteArray("bundleIdentifier"));
        QCOMPARE(names.value(AppListModel::PathRole), QByteArray("path"));
        QCOMPARE(names.value(AppListModel::IconSourceRole), QByteArray("iconSource"));

        const QModelIndex row = model.index(0);
        QCOMPARE(model.data(row, AppListModel::AppIdRole).toString(), uuidText(list[0].id));
        QCOMPARE(model.data(row, AppListModel::NameRole).toString(), QStringLiteral("Maps"));
        QCOMPARE(model.data(row, Qt::DisplayRole).toString(), QStringLiteral("Maps"));
        QCOMPARE(model.data(row, AppListModel::BundleIdentifierRole).toString(),
                 QStringLiteral("com.example.maps"));
        QCOMPARE(model.data(row, AppListModel::PathRole).toString(), QStringLiteral("/A/Maps.app"));
        QCOMPARE(model.data(row, AppListModel::IconSourceRole).toString(),
                 "image://appicon/" + uuidText(list[0].id));
        QCOMPARE(appIconSource(list[0]), "image://appicon/" + uuidText(list[0].id));
        QVERIFY(!model.data(model.index(1), AppListModel::NameRole).isValid());
        QCOMPARE(model.indexOfId(uuidText(list[0].id)), 0);
        QCOMPARE(model.indexOfId(uuidText(QUuid::createUuid())), -1);
        QCOMPARE(model.indexOfId("not a uuid"), -1);
    }

    void transitions_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("inserts");
        QTest::addColumn<int>("removes");
        QTest::addColumn<int>("moves");
        QTest::addColumn<int>("resets");

        QTest::addRow("first fill") << ""
                                    << "ABCD" << 1 << 0 << 0 << 0;
        QTest::addRow("emptied") << "ABCD"
                                 << "" << 0 << 1 << 0 << 0;
        QTest::addRow("search narrows to a run") << "ABCDEF"
                                                 << "CD" << 0 << 2 << 0 << 0;
        QTest::addRow("search widens again") << "CD"
                                             << "ABCDEF" << 2 << 0 << 0 << 0;
        QTest::addRow("scattered removals") << "ABCDEFG"
                                            << "ACEG" << 0 << 3 << 0 << 0;
        QTest::addRow("one moved to the end") << "ABCD"
                                              << "BCDA" << 0 << 0 << 1 << 0;
        QTest::addRow("one moved to the front") << "ABCD"
                                                << "DABC" << 0 << 0 << 1 << 0;
        QTest::addRow("two swapped") << "ABCDE"
                                     << "ADCBE" << 0 << 0 << 2 << 0;
        QTest::addRow("deleted application gone after a rescan") << "ABCD"
                                                                 << "ABD" << 0 << 1 << 0 << 0;
        QTest::addRow("new application at the end") << "ABC"
                                                    << "ABCN" << 1 << 0 << 0 << 0;
        QTest::addRow("removed, moved and added at once") << "ABCDEF"
                                                          << "FBXDY" << 2 << 3 << 1 << 0;
        QTest::addRow("nothing in common") << "ABC"
                                           << "XYZ" << 0 << 0 << 0 << 1;
        QTest::addRow("unchanged") << "ABC"
                                   << "ABC" << 0 << 0 << 0 << 0;
    }

    void transitions() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, inserts);
        QFETCH(int, removes);
        QFETCH(int, moves);
        QFETCH(int, resets);

        AppListModel model;
        const QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setApps(apps(before));
        QSignalSpy counted(&model, &AppListModel::countChanged);
        const Signals spies(model);
        model.setApps(apps(after));

        QCOMPARE(letters(model), after);
        QCOMPARE(spies.inserts.count(), inserts);
        QCOMPARE(spies.removes.count(), removes);
        QCOMPARE(spies.moves.count(), moves);
        QCOMPARE(spies.resets.count(), resets);
        QCOMPARE(counted.count(), before.size() == after.size() ? 0 : 1);
    }

    // A rescan gives every application a new id: rows stay, their ids change.
    void rescanKeepsRowsAndRefreshesIds() {
        AppListModel model;
        const QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setApps(apps("ABC"));
        const Signals spies(model);
        const AppList rescanned = apps("ABC");
        model.setApps(rescanned);

        QCOMPARE(spies.inserts.count() + spies.removes.count() + spies.moves.count() +
                     spies.resets.count(),
                 0);
        QCOMPARE(spies.changes.count(), 1);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(model.data(model.index(row), AppListModel::AppIdRole).toString(),
                     uuidText(rescanned[row].id));
    }

    void sameIdsChangeNothing() {
        AppListModel model;
        const AppList list = apps("ABC");
        model.setApps(list);
        const Signals spies(model);
        model.setApps(list);
        QCOMPARE(spies.changes.count(), 0);
    }

    void wholesaleReorderResets() {
        AppListModel model;
        QString forward;
        for (int i = 0; i < 200; ++i)
            forward += QChar(0x4E00 + i);
        QString backward = forward;
        std::reverse(backward.begin(), backward.end());
        model.setApps(apps(forward));
        const Signals spies(model);
        model.setApps(apps(backward));
        QCOMPARE(letters(model), backward);
        QCOMPARE(spies.resets.count(), 1);
        QCOMPARE(spies.moves.count(), 0);
    }

    void duplicateRowsFallBackToAReset() {
        AppListModel model;
        model.setApps(apps("AB"));
        const Signals spies(model);
        model.setApps(apps("ABA"));
        QCOMPARE(letters(model), QStringLiteral("ABA"));
        QCOMPARE(spies.resets.count(), 1);
    }

    // Random lists of every shape reach exactly their target, checked
    // throughout by the model tester.
    void randomTransitionsReachTheirTarget() {
        AppListModel model;
        const QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QRandomGenerator random(4242);
        const QString pool = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij");
        for (int round = 0; round < 400; ++round) {
            QString target;
            for (const QChar letter : pool) {
                if (random.bounded(3) != 0)
                    target += letter;
            }
            // Shuffle a few neighbours, or everything now and then.
            const int swaps = round % 10 == 0 ? int(target.size()) : int(random.bounded(4));
            for (int s = 0; s < swaps && target.size() > 1; ++s) {
                const int a = int(random.bounded(int(target.size())));
                const int b = int(random.bounded(int(target.size())));
                std::swap(target[a], target[b]);
            }
            model.setApps(apps(target));
            QCOMPARE(letters(model), target);
            QCOMPARE(model.count(), int(target.size()));
        }
    }
};

QTEST_GUILESS_MAIN(TestAppListModel)
#include "tst_applistmodel.moc"
