#include "CatalogueFixture.h"
#include "FreedesktopTrash.h"

#include <QtTest/QTest>

// Moving items to the freedesktop Trash, with a data home that does not exist
// yet, and the error text of a failure.
class TestFreedesktopTrash : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::Tree> m_tree;

    [[nodiscard]] QString trash(const QString& relative) const {
        return m_tree->path("home/share/Trash/" + relative);
    }

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<fixture::Tree>();
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_tree->path("home/share")));
    }

    void cleanup() { m_tree.reset(); }

    void movesItemsAway_data() {
        QTest::addColumn<QString>("kind");
        QTest::addRow("a file") << "file";
        QTest::addRow("a bundle folder with its contents") << "bundle";
    }

    void movesItemsAway() {
        QFETCH(QString, kind);
        const QString item = kind == "file" ? "Apps/notes.desktop" : "Apps/Tool.app";
        if (kind == "file")
            m_tree->write(item, "[Desktop Entry]\n");
        else
            m_tree->bundle(item, "com.example.tool");
        QVERIFY(!QFileInfo::exists(m_tree->path("home/share")));

        FreedesktopTrash trashCan;
        const Trash::Result result = trashCan.moveToTrash(m_tree->path(item));
        QVERIFY2(result.moved, qPrintable(result.errorText));
        QVERIFY(result.errorText.isEmpty());
        QVERIFY(!QFileInfo::exists(m_tree->path(item)));
        const QString name = QFileInfo(item).fileName();
        QVERIFY(QFileInfo::exists(trash("files/" + name)));
        QVERIFY(QFileInfo::exists(trash("info/" + name + ".trashinfo")));
        if (kind == "bundle")
            QVERIFY(QFileInfo::exists(trash("files/Tool.app/Contents/Info.plist")));
    }

    void sameNameTwiceKeepsBoth() {
        FreedesktopTrash trashCan;
        m_tree->write("one/Tool.app", "first");
        m_tree->write("two/Tool.app", "second");
        QVERIFY(trashCan.moveToTrash(m_tree->path("one/Tool.app")).moved);
        QVERIFY(trashCan.moveToTrash(m_tree->path("two/Tool.app")).moved);
        QCOMPARE(QDir(trash("files")).entryList(QDir::Files).size(), 2);
    }

    void failures_data() {
        QTest::addColumn<QString>("kind");
        QTest::addRow("a path that does not exist") << "missing";
        QTest::addRow("an empty path") << "empty";
        QTest::addRow("an item in a folder the user may not change") << "locked";
    }

    void failures() {
        QFETCH(QString, kind);
        QString path = m_tree->path("Apps/Gone.app");
        if (kind == "empty")
            path.clear();
        if (kind == "locked") {
            m_tree->bundle("Locked/Tool.app", "com.example.tool");
            path = m_tree->path("Locked/Tool.app");
            QVERIFY(
                QFile::setPermissions(m_tree->path("Locked"), QFile::ReadOwner | QFile::ExeOwner));
        }

        Trash::Result result;
        {
            const fixture::WithoutFileOverride asUser;
            result = FreedesktopTrash().moveToTrash(path);
        }
        QVERIFY(!result.moved);
        QVERIFY(!result.errorText.isEmpty());
        if (kind == "locked") {
            QVERIFY(QFileInfo::exists(path));
            QVERIFY(QFile::setPermissions(m_tree->path("Locked"),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        }
        QVERIFY(QDir(trash("files")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFreedesktopTrash)
#include "tst_freedesktoptrash.moc"
