#include "CatalogueFixture.h"
#include "DesktopEntrySource.h"

#include <QtTest/QTest>

// The desktop-entry source: which entries are applications to show, which file
// wins for an id, and what a bad file does (nothing).
class TestDesktopEntries : public QObject {
    Q_OBJECT

private:
    static QString entry(const QString& name, const QString& extra = {}) {
        return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=true\n%2\n")
            .arg(name, extra);
    }

    static QStringList describe(const fixture::Tree& tree,
                                const QList<DesktopEntryRecord>& records) {
        QStringList lines;
        for (const DesktopEntryRecord& record : records)
            lines.append(record.identifier + u'|' + record.name + u'|' +
                         QDir(tree.root()).relativeFilePath(record.path));
        return lines;
    }

    static QList<DesktopEntryRecord> read(const fixture::Tree& tree) {
        const std::atomic_bool cancelled{false};
        return readDesktopEntries({tree.path("user"), tree.path("system")}, cancelled);
    }

private Q_SLOTS:
    void initTestCase() {
        // GLib reads the current desktop once per process.
        qputenv("XDG_CURRENT_DESKTOP", "QuorlinTest");
        qunsetenv("LANGUAGE");
        qputenv("LC_ALL", "C.UTF-8");
    }

    void entries_data() {
        QTest::addColumn<QStringList>("files"); // "relative path", then its content
        QTest::addColumn<QStringList>("expected");

        QTest::addRow("a plain application")
            << QStringList{"system/org.example.Plain.desktop", entry("Plain")}
            << QStringList{"org.example.Plain|Plain|system/org.example.Plain.desktop"};
        QTest::addRow("folder order, then name order, sub-folders give dashed ids")
            << QStringList{"system/b.desktop",     entry("Bee"), "system/a.desktop", entry("Ay"),
                           "system/kde/c.desktop", entry("Sea"), "user/z.desktop",   entry("Zed")}
            << QStringList{"z|Zed|user/z.desktop", "a|Ay|system/a.desktop",
                           "b|Bee|system/b.desktop", "kde-c|Sea|system/kde/c.desktop"};
        QTest::addRow("NoDisplay is left out")
            << QStringList{"system/a.desktop", entry("A", "NoDisplay=true")} << QStringList{};
        QTest::addRow("Hidden is left out")
            << QStringList{"system/a.desktop", entry("A", "Hidden=true")} << QStringList{};
        QTest::addRow("only for another desktop")
            << QStringList{"system/a.desktop", entry("A", "OnlyShowIn=KDE;XFCE;")} << QStringList{};
        QTest::addRow("only for this desktop")
            << QStringList{"system/a.desktop", entry("A", "OnlyShowIn=KDE;QuorlinTest;")}
            << QStringList{"a|A|system/a.desktop"};
        QTest::addRow("not for this desktop")
            << QStringList{"system/a.desktop", entry("A", "NotShowIn=QuorlinTest;")}
            << QStringList{};
        QTest::addRow("TryExec names a missing program")
            << QStringList{"system/a.desktop", entry("A", "TryExec=/nonexistent/quorlin-tool")}
            << QStringList{};
        QTest::addRow("TryExec names a program on the PATH")
            << QStringList{"system/a.desktop", entry("A", "TryExec=sh")}
            << QStringList{"a|A|system/a.desktop"};
        QTest::addRow("a link, not an application")
            << QStringList{"system/a.desktop",
                           "[Desktop Entry]\nType=Link\nName=Site\nURL=https://example.org\n"}
            << QStringList{};
        QTest::addRow("no Name") << QStringList{"system/a.desktop",
                                                "[Desktop Entry]\nType=Application\nExec=true\n"}
                                 << QStringList{};
        QTest::addRow("no Desktop Entry group")
            << QStringList{"system/a.desktop", "[Something Else]\nName=A\nExec=true\n"}
            << QStringList{};
        QTest::addRow("not a key file at all")
            << QStringList{"system/a.desktop", "\x01\x02\xff\xfe garbage = = [[\n"}
            << QStringList{};
        QTest::addRow("the user's entry wins over the system's")
            << QStringList{"system/a.desktop", entry("System"), "user/a.desktop", entry("Mine")}
            << QStringList{"a|Mine|user/a.desktop"};
        QTest::addRow("a Hidden user entry removes the system one")
            << QStringList{"system/a.desktop", entry("System"), "user/a.desktop",
                           entry("Mine", "Hidden=true")}
            << QStringList{};
        QTest::addRow("a NoDisplay user entry removes the system one")
            << QStringList{"system/a.desktop", entry("System"), "user/a.desktop",
                           entry("Mine", "NoDisplay=true")}
            << QStringList{};
        QTest::addRow("an unreadable user entry hides nothing")
            << QStringList{"system/a.desktop", entry("System"), "user/a.desktop",
                           "not a desktop entry"}
            << QStringList{"a|System|system/a.desktop"};
        QTest::addRow("hidden files and other names are ignored")
            << QStringList{"system/.secret.desktop",   entry("Secret"),
                           "system/readme.txt",        entry("Text"),
                           "system/a.desktop~",        entry("Backup"),
                           "system/.hidden/b.desktop", entry("B")}
            << QStringList{};
        QTest::addRow("nothing to run")
            << QStringList{"system/a.desktop", "[Desktop Entry]\nType=Application\nName=A\n"}
            << QStringList{};
        QTest::addRow("started over D-Bus, no command line")
            << QStringList{"system/a.desktop",
                           "[Desktop Entry]\nType=Application\nName=A\nDBusActivatable=true\n"}
            << QStringList{"a|A|system/a.desktop"};
    }

    void entries() {
        QFETCH(QStringList, files);
        QFETCH(QStringList, expected);

        fixture::Tree tree;
        tree.mkdir("user");
        tree.mkdir("system");
        for (qsizetype i = 0; i + 1 < files.size(); i += 2)
            tree.desktopEntry(files.at(i), files.at(i + 1));
        QCOMPARE(describe(tree, read(tree)), expected);
    }

    void linkedEntryFilesAreRead() {
        fixture::Tree tree;
        tree.desktopEntry("elsewhere/real.desktop", entry("Linked"));
        tree.symlink(tree.path("elsewhere/real.desktop"), "system/linked.desktop");
        tree.mkdir("user");
        QCOMPARE(describe(tree, read(tree)), QStringList{"linked|Linked|system/linked.desktop"});
    }

    void filesThatCouldStallAreSkipped_data() {
        QTest::addColumn<QString>("kind");
        QTest::addRow("a FIFO with no writer") << "fifo";
        QTest::addRow("a file over a megabyte") << "huge";
        QTest::addRow("a folder named like an entry") << "folder";
    }

    void filesThatCouldStallAreSkipped() {
        QFETCH(QString, kind);
        fixture::Tree tree;
        tree.mkdir("user");
        tree.desktopEntry("system/good.desktop", entry("Good"));
        if (kind == "fifo")
            tree.fifo("system/bad.desktop");
        else if (kind == "huge")
            tree.desktopEntry("system/bad.desktop",
                              entry("Bad", "Comment=" + QString(2 * 1024 * 1024, u'x')));
        else
            tree.mkdir("system/bad.desktop");
        QCOMPARE(describe(tree, read(tree)), QStringList{"good|Good|system/good.desktop"});
    }

    void localizedName_data() {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("name");
        QTest::addRow("German") << QByteArray("de") << QStringLiteral("Rechner");
        QTest::addRow("French, Canadian falls back to French")
            << QByteArray("fr_CA") << QStringLiteral("Calculatrice");
        QTest::addRow("a language without a translation")
            << QByteArray("ja") << QStringLiteral("Calculator");
    }

    void localizedName() {
        QFETCH(QByteArray, language);
        QFETCH(QString, name);

        fixture::Tree tree;
        tree.mkdir("user");
        tree.desktopEntry(
            "system/calc.desktop",
            entry("Calculator", QStringLiteral("Name[de]=Rechner\nName[fr]=Calculatrice")));
        qputenv("LANGUAGE", language);
        const QList<DesktopEntryRecord> records = read(tree);
        qunsetenv("LANGUAGE");
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().name, name);
    }

    void icon_data() {
        QTest::addColumn<QString>("iconLine");
        QTest::addColumn<QString>("icon");
        QTest::addRow("theme name") << "Icon=accessories-calculator"
                                    << "accessories-calculator";
        QTest::addRow("absolute file") << "Icon=/opt/tool/icon.png"
                                       << "/opt/tool/icon.png";
        QTest::addRow("none") << ""
                              << "";
    }

    void icon() {
        QFETCH(QString, iconLine);
        QFETCH(QString, icon);

        fixture::Tree tree;
        tree.mkdir("user");
        tree.desktopEntry("system/a.desktop", entry("A", iconLine));
        const QList<DesktopEntryRecord> records = read(tree);
        QCOMPARE(records.size(), 1);
        QCOMPARE(records.first().icon, icon);
    }

    void missingFoldersGiveNothing() {
        const std::atomic_bool cancelled{false};
        QCOMPARE(readDesktopEntries({"/nonexistent/quorlin/applications"}, cancelled).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDesktopEntries)
#include "tst_desktopentries.moc"
