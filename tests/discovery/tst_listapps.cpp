#include "AppSettings.h"
#include "CatalogueCommandLine.h"
#include "CatalogueFixture.h"
#include "QSettingsDefaultsStore.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest/QTest>

// "quorlin --list-apps": the built program prints the published catalogue of a
// fixture tree, with the user's hidden set and order, and needs no display.
class TestListApps : public QObject {
    Q_OBJECT

private:
    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };

    static Run run(const fixture::Tree& tree, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        environment.insert("HOME", tree.path("home"));
        environment.insert("XDG_CONFIG_HOME", tree.path("config"));
        environment.insert("XDG_DATA_HOME", tree.path("data"));
        environment.insert("XDG_DATA_DIRS", tree.path("system-data"));
        environment.insert("XDG_CURRENT_DESKTOP", "QuorlinTest");
        environment.insert("LC_ALL", "C.UTF-8");
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(qEnvironmentVariable("QUORLIN_BINARY"), arguments);
        if (!process.waitForFinished(60'000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static void buildCatalogue(const fixture::Tree& tree) {
        tree.bundle("root/Applications/Zebra.app", "com.example.zebra");
        tree.bundle("root/Applications/Vendor/Atlas.app", "com.example.atlas",
                    fixture::PlistFormat::Binary);
        tree.bundle("root/System/Applications/Mail.app", "com.example.mail");
        tree.bundle("root/System/Applications/Utilities/Atlas Copy.app", "com.example.atlas");
        tree.bundle("root/Applications/Broken.app", "");
        tree.desktopEntry("data/applications/org.example.Notes.desktop",
                          "[Desktop Entry]\nType=Application\nName=Notes\nExec=true\n");
        tree.desktopEntry("system-data/applications/org.example.Notes.desktop",
                          "[Desktop Entry]\nType=Application\nName=System Notes\nExec=true\n");
        tree.desktopEntry("system-data/applications/org.example.Clock.desktop",
                          "[Desktop Entry]\nType=Application\nName=clock\nExec=true\n");
        tree.mkdir("home");
    }

    static QString line(const fixture::Tree& tree, const QString& name, const QString& id,
                        const QString& relative) {
        return name + u'\t' + id + u'\t' + tree.path(relative);
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QFileInfo(qEnvironmentVariable("QUORLIN_BINARY")).isExecutable(),
                 "QUORLIN_BINARY must name the built program");
    }

    void listing_data() {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<QStringList>("expected"); // "name|identifier|relative path"

        const QString atlas = "Atlas|com.example.atlas|root/Applications/Vendor/Atlas.app";
        const QString zebra = "Zebra|com.example.zebra|root/Applications/Zebra.app";
        const QString mail = "Mail|com.example.mail|root/System/Applications/Mail.app";
        const QString notes = "Notes|org.example.Notes|data/applications/org.example.Notes.desktop";
        const QString clock =
            "clock|org.example.Clock|system-data/applications/org.example.Clock.desktop";
        QTest::addRow("alphabetical without settings")
            << QStringList{} << QStringList{} << QStringList{atlas, clock, mail, notes, zebra};
        QTest::addRow("the user's order, the rest in discovery order")
            << QStringList{"org.example.Notes", "com.example.mail"} << QStringList{}
            << QStringList{notes, mail, atlas, zebra, clock};
        QTest::addRow("the user's hidden applications left out")
            << QStringList{} << QStringList{"com.example.zebra", "org.example.Clock"}
            << QStringList{atlas, mail, notes};
    }

    void listing() {
        QFETCH(QStringList, order);
        QFETCH(QStringList, hidden);
        QFETCH(QStringList, expected);

        fixture::Tree tree;
        buildCatalogue(tree);
        {
            QSettingsDefaultsStore store(tree.path("config/Quorlin/Quorlin.conf"));
            AppSettings settings(store);
            if (!order.isEmpty())
                settings.setCustomAppOrder(order);
            if (!hidden.isEmpty())
                settings.setHiddenApps(QSet<QString>(hidden.cbegin(), hidden.cend()));
        }

        const Run result = run(tree, {"--list-apps", "--root", tree.path("root")});
        QCOMPARE(result.exitCode, 0);
        QStringList lines;
        for (const QString& entry : expected)
            lines.append(line(tree, entry.section(u'|', 0, 0), entry.section(u'|', 1, 1),
                              entry.section(u'|', 2)));
        QCOMPARE(result.out, lines.join(u'\n') + u'\n');
    }

    void fieldsWithTabsStayOneLine() {
        fixture::Tree tree;
        tree.mkdir("home");
        tree.bundle("root/Applications/Tab\tand\\slash.app", "com.example.odd");
        tree.desktopEntry("data/applications/multi.desktop",
                          "[Desktop Entry]\nType=Application\nName=Two\\nLines\nExec=true\n");
        const Run result = run(tree, {"--list-apps", "--root", tree.path("root")});
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).startsWith("Tab\\tand\\\\slash\tcom.example.odd\t"),
                 qPrintable(lines.at(0)));
        QVERIFY2(lines.at(1).startsWith("Two\\nLines\tmulti\t"), qPrintable(lines.at(1)));
    }

    void missingRootIsAnError() {
        fixture::Tree tree;
        const Run result = run(tree, {"--list-apps", "--root", tree.path("nowhere")});
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QString());
        QVERIFY2(result.err.contains(tree.path("nowhere")), qPrintable(result.err));
    }

    void helpDocumentsTheOptions() {
        fixture::Tree tree;
        const Run result = run(tree, {"--help"});
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains("--list-apps"), qPrintable(result.out));
        QVERIFY2(result.out.contains("--root <dir>"), qPrintable(result.out));
    }

    void escapeListingField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("escaped");
        QTest::addRow("plain text unchanged") << "Café Crème 2"
                                              << "Café Crème 2";
        QTest::addRow("tab") << "a\tb"
                             << "a\\tb";
        QTest::addRow("newline and return") << "a\nb\r"
                                            << "a\\nb\\r";
        QTest::addRow("backslash doubled") << "a\\b"
                                           << "a\\\\b";
        QTest::addRow("other control characters in hex") << QString("a\x01"
                                                                    "b\x7f")
                                                         << "a\\x01b\\x7f";
    }

    void escapeListingField() {
        QFETCH(QString, field);
        QFETCH(QString, escaped);
        QCOMPARE(::escapeListingField(field), escaped);
    }
};

QTEST_GUILESS_MAIN(TestListApps)
#include "tst_listapps.moc"
