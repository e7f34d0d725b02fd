#include "BundleWalk.h"
#include "CatalogueFixture.h"

#include <QtTest/QTest>

#include <sys/stat.h>

// The walk over one application folder: which items it yields, in what order,
// and where it refuses to go.
class TestBundleWalk : public QObject {
    Q_OBJECT

private:
    static QStringList relativeTo(const QString& root, const QStringList& paths) {
        QStringList relative;
        for (const QString& path : paths)
            relative.append(QDir(root).relativeFilePath(path));
        return relative;
    }

private Q_SLOTS:
    void walk_data() {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        // "target>link", target relative to the tree root unless it starts with "."
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<QStringList>("expected");

        QTest::addRow("bundles of one folder come in name order")
            << QStringList{"A/Beta.app", "A/Alpha.app", "A/Gamma.app"} << QStringList{}
            << QStringList{} << QStringList{"A/Alpha.app", "A/Beta.app", "A/Gamma.app"};
        QTest::addRow("a vendor sub-folder is walked, depth first")
            << QStringList{"A/Vendor/Tool.app", "A/Vendor/Deep/Er.app", "A/Zed.app", "A/Apex.app"}
            << QStringList{} << QStringList{}
            << QStringList{"A/Apex.app", "A/Vendor/Deep/Er.app", "A/Vendor/Tool.app", "A/Zed.app"};
        QTest::addRow("a bundle inside a bundle is not found")
            << QStringList{"A/Outer.app/Contents/Helpers/Inner.app", "A/Outer.app/Contents/Tools"}
            << QStringList{} << QStringList{} << QStringList{"A/Outer.app"};
        QTest::addRow("hidden bundles are skipped")
            << QStringList{"A/.Secret.app", "A/Shown.app", "A/.app"} << QStringList{}
            << QStringList{} << QStringList{"A/Shown.app"};
        QTest::addRow("hidden folders are not entered")
            << QStringList{"A/.cache/Inside.app", "A/Visible/Found.app"} << QStringList{}
            << QStringList{} << QStringList{"A/Visible/Found.app"};
        QTest::addRow("an upper-case extension is an ordinary folder")
            << QStringList{"A/Tools.APP/Real.app", "A/Mixed.App/Other.app"} << QStringList{}
            << QStringList{} << QStringList{"A/Mixed.App/Other.app", "A/Tools.APP/Real.app"};
        QTest::addRow("a plain file with the extension is yielded for the reader to reject")
            << QStringList{"A"} << QStringList{"A/Notes.app", "A/readme.txt"} << QStringList{}
            << QStringList{"A/Notes.app"};
        QTest::addRow("a name with several dots keeps its last extension")
            << QStringList{"A/My.Great.Tool.app", "A/Archive.app.zip"} << QStringList{}
            << QStringList{} << QStringList{"A/My.Great.Tool.app"};
        QTest::addRow("a linked folder is not followed")
            << QStringList{"A/Real.app", "Outside/Elsewhere.app"} << QStringList{}
            << QStringList{"Outside>A/Shortcut"} << QStringList{"A/Real.app"};
        QTest::addRow("a link cycle does not trap the walk")
            << QStringList{"A/Sub/Tool.app"} << QStringList{}
            << QStringList{".>A/Sub/loop", "..>A/Sub/up"} << QStringList{"A/Sub/Tool.app"};
        QTest::addRow("a linked bundle is yielded as the link")
            << QStringList{"A", "Outside/Tool.app"} << QStringList{}
            << QStringList{"Outside/Tool.app>A/Tool.app"} << QStringList{"A/Tool.app"};
        QTest::addRow("a missing folder yields nothing")
            << QStringList{} << QStringList{} << QStringList{} << QStringList{};
    }

    void walk() {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(QStringList, links);
        QFETCH(QStringList, expected);

        fixture::Tree tree;
        for (const QString& folder : folders)
            tree.mkdir(folder);
        for (const QString& file : files)
            tree.write(file, "x");
        for (const QString& link : links) {
            const QString target = link.section(u'>', 0, 0);
            const QString where = link.section(u'>', 1);
            tree.symlink(target.startsWith(u'.') ? target : tree.path(target), where);
        }

        const std::atomic_bool cancelled{false};
        QCOMPARE(relativeTo(tree.root(), findAppItems(tree.path("A"), cancelled)), expected);
    }

    void namesThatAreNotUtf8AreLeftOut() {
        fixture::Tree tree;
        tree.mkdir("A/Café.app");
        const QByteArray root = QFile::encodeName(tree.path("A"));
        QVERIFY(::mkdir((root + "/Caf\xe9.app").constData(), 0755) == 0);
        QVERIFY(::mkdir((root + "/Latin\xe9").constData(), 0755) == 0);
        QVERIFY(::mkdir((root + "/Latin\xe9/Inside.app").constData(), 0755) == 0);
        // The replacement character is what a lossy decoding of the bad name gives.
        tree.mkdir(QStringLiteral("A/Caf\uFFFD.app"));

        const std::atomic_bool cancelled{false};
        const QStringList found = relativeTo(tree.root(), findAppItems(tree.path("A"), cancelled));
        // QTemporaryDir cannot name these to remove them.
        QVERIFY(::rmdir((root + "/Latin\xe9/Inside.app").constData()) == 0);
        QVERIFY(::rmdir((root + "/Latin\xe9").constData()) == 0);
        QVERIFY(::rmdir((root + "/Caf\xe9.app").constData()) == 0);
        QCOMPARE(found,
                 (QStringList{QStringLiteral("A/Café.app"), QStringLiteral("A/Caf\uFFFD.app")}));
    }

    void unreadableFolderContributesNothing() {
        fixture::Tree tree;
        tree.mkdir("A/Locked/Inside.app");
        tree.mkdir("A/Open.app");
        const QByteArray locked = QFile::encodeName(tree.path("A/Locked"));
        QVERIFY(::chmod(locked.constData(), 0) == 0);
        QStringList found;
        {
            const fixture::WithoutFileOverride asUser;
            const std::atomic_bool cancelled{false};
            found = relativeTo(tree.root(), findAppItems(tree.path("A"), cancelled));
        }
        QVERIFY(::chmod(locked.constData(), 0755) == 0);
        QCOMPARE(found, QStringList{"A/Open.app"});
    }

    void cancelledWalkStopsAtOnce() {
        fixture::Tree tree;
        tree.mkdir("A/One.app");
        tree.mkdir("A/Two.app");
        const std::atomic_bool cancelled{true};
        QCOMPARE(findAppItems(tree.path("A"), cancelled), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestBundleWalk)
#include "tst_bundlewalk.moc"
