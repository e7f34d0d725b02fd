#include "AppDiscovery.h"
#include "AppSettings.h"
#include "CatalogueFixture.h"
#include "IconDecoding.h"
#include "RecordingDefaultsStore.h"
#include "ShellFakes.h"
#include "StdoutCapture.h"

#include <QSignalSpy>
#include <QThreadPool>
#include <QtTest/QTest>

#include <memory>

// The catalogue object: scanning the three folders and the desktop entries off
// the GUI thread, publishing in order, reordering, hiding and the Trash.
class TestAppDiscovery : public QObject {
    Q_OBJECT

private:
    struct Setup {
        fixture::Tree tree;
        RecordingDefaultsStore store;
        AppSettings settings{store};
        RecordingTrash trash;
        std::unique_ptr<AppDiscovery> discovery;

        Setup() {
            tree.mkdir("Applications");
            tree.mkdir("data/applications");
            CatalogueRoots roots;
            roots.bundleFolders = CatalogueRoots::bundleFoldersUnder(tree.root());
            roots.desktopEntryFolders = {tree.path("data/applications")};
            roots.iconThemeFolders = {tree.path("icons")};
            roots.pixmapFolders = {tree.path("pixmaps")};
            discovery = std::make_unique<AppDiscovery>(settings, roots, trash);
        }

        // Scans and waits for the publication.
        bool scan() const {
            QSignalSpy finished(discovery.get(), &AppDiscovery::scanFinished);
            discovery->setIsLoading(true);
            discovery->loadApplications();
            return finished.wait(20'000);
        }

        [[nodiscard]] QStringList shown() const { return describe(discovery->applications()); }

        [[nodiscard]] QStringList describe(const AppList& apps) const {
            QStringList lines;
            for (const AppItem& app : apps)
                lines.append(app.name + u'|' + app.bundleIdentifier + u'|' +
                             QDir(tree.root()).relativeFilePath(app.path));
            return lines;
        }

        [[nodiscard]] const AppItem* find(const QString& identifier) const {
            for (const AppItem& app : discovery->allDiscoveredApps()) {
                if (app.bundleIdentifier == identifier)
                    return &app;
            }
            return nullptr;
        }
    };

    static QString desktopEntry(const QString& name, const QString& extra = {}) {
        return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=true\n%2\n")
            .arg(name, extra);
    }

    // Four applications A..D, found in that order.
    static void fourBundles(const Setup& setup) {
        for (const char* name : {"A", "B", "C", "D"})
            setup.tree.bundle(QStringLiteral("Applications/%1.app").arg(name),
                              QStringLiteral("id.%1").arg(name));
    }

    static QStringList identifiers(const AppList& apps) {
        QStringList ids;
        for (const AppItem& app : apps)
            ids.append(app.bundleIdentifier);
        return ids;
    }

    // Lets every scan still running end, and their results arrive.
    static void settle() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        qputenv("XDG_CURRENT_DESKTOP", "QuorlinTest");
    }

    void startsEmptyAndDoesNotScanByItself() {
        Setup setup;
        fourBundles(setup);
        QSignalSpy finished(setup.discovery.get(), &AppDiscovery::scanFinished);
        settle();
        QVERIFY(setup.discovery->applications().isEmpty());
        QVERIFY(setup.discovery->allDiscoveredApps().isEmpty());
        QVERIFY(!setup.discovery->isLoading());
        QCOMPARE(finished.count(), 0);
    }

    void publishesInOrderAfterReturning() {
        Setup setup;
        fourBundles(setup);
        AppDiscovery& discovery = *setup.discovery;
        QStringList log;
        connect(&discovery, &AppDiscovery::applicationsChanged, this, [&] {
            log.append(QStringLiteral("applications %1 of %2, loading %3")
                           .arg(discovery.applications().size())
                           .arg(discovery.allDiscoveredApps().size())
                           .arg(discovery.isLoading()));
        });
        connect(&discovery, &AppDiscovery::isLoadingChanged, this, [&] {
            log.append(QStringLiteral("loading %1 with %2 shown")
                           .arg(discovery.isLoading())
                           .arg(discovery.applications().size()));
        });
        connect(&discovery, &AppDiscovery::scanFinished, this,
                [&] { log.append(QStringLiteral("finished")); });

        QSignalSpy finished(&discovery, &AppDiscovery::scanFinished);
        discovery.setIsLoading(true);
        discovery.loadApplications();
        // Nothing is published from inside the call.
        QVERIFY(discovery.applications().isEmpty());
        QVERIFY(finished.wait(20'000));
        QCOMPARE(log, (QStringList{"loading 1 with 0 shown", "applications 4 of 4, loading 1",
                                   "loading 0 with 4 shown", "finished"}));
    }

    void finds_data() {
        QTest::addColumn<QStringList>("bundles"); // "relative path|identifier" ("" for none)
        QTest::addColumn<QStringList>("entries"); // "file name|Name"
        QTest::addColumn<QStringList>("expected");

        QTest::addRow("one identifier in two folders: the first folder's")
            << QStringList{"System/Applications/Tool.app|com.t", "Applications/Tool Copy.app|com.t"}
            << QStringList{} << QStringList{"Tool Copy|com.t|Applications/Tool Copy.app"};
        QTest::addRow("Utilities is reached through System/Applications, once")
            << QStringList{"System/Applications/Utilities/Disk.app|com.d"} << QStringList{}
            << QStringList{"Disk|com.d|System/Applications/Utilities/Disk.app"};
        QTest::addRow("within one folder, the first in the walk wins")
            << QStringList{"System/Applications/Utilities/Term.app|com.x",
                           "System/Applications/Other.app|com.x"}
            << QStringList{} << QStringList{"Other|com.x|System/Applications/Other.app"};
        QTest::addRow("a vendor sub-folder is searched")
            << QStringList{"Applications/Vendor/Suite.app|com.s"} << QStringList{}
            << QStringList{"Suite|com.s|Applications/Vendor/Suite.app"};
        QTest::addRow("an application inside another is not found")
            << QStringList{"Applications/Host.app|com.h",
                           "Applications/Host.app/Contents/Helpers/Helper.app|com.helper"}
            << QStringList{} << QStringList{"Host|com.h|Applications/Host.app"};
        QTest::addRow("a hidden bundle is not found")
            << QStringList{"Applications/.Secret.app|com.secret", "Applications/Open.app|com.o"}
            << QStringList{} << QStringList{"Open|com.o|Applications/Open.app"};
        QTest::addRow("an upper-case extension is walked into, not read")
            << QStringList{"Applications/Kit.APP|com.kit", "Applications/Kit.APP/In.app|com.in"}
            << QStringList{} << QStringList{"In|com.in|Applications/Kit.APP/In.app"};
        QTest::addRow("an app folder without identifier gives nothing and is not entered")
            << QStringList{"Applications/Empty.app|", "Applications/Empty.app/Inner.app|com.inner"}
            << QStringList{} << QStringList{};
        QTest::addRow("the name is the file name, not the declared one")
            << QStringList{"Applications/Calculator.app|com.calc"} << QStringList{}
            << QStringList{"Calculator|com.calc|Applications/Calculator.app"};
        QTest::addRow("desktop entries follow; a bundle's identifier wins")
            << QStringList{"Applications/Editor.app|org.example.Editor"}
            << QStringList{"org.example.Editor.desktop|Other Editor",
                           "org.example.Viewer.desktop|Viewer"}
            << QStringList{
                   "Editor|org.example.Editor|Applications/Editor.app",
                   "Viewer|org.example.Viewer|data/applications/org.example.Viewer.desktop"};
        QTest::addRow("nothing anywhere") << QStringList{} << QStringList{} << QStringList{};
    }

    void finds() {
        QFETCH(QStringList, bundles);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, expected);

        Setup setup;
        for (const QString& bundle : bundles)
            setup.tree.bundle(bundle.section(u'|', 0, 0), bundle.section(u'|', 1));
        for (const QString& entry : entries)
            setup.tree.desktopEntry("data/applications/" + entry.section(u'|', 0, 0),
                                    desktopEntry(entry.section(u'|', 1)));
        QVERIFY(setup.scan());
        QCOMPARE(setup.shown(), expected);
        QVERIFY(!setup.discovery->isLoading());
    }

    void badBundlesAreSkippedAndTheRestFound() {
        Setup setup;
        const fixture::Tree& tree = setup.tree;
        tree.bundle("Applications/Good.app", "com.good", fixture::PlistFormat::Binary);
        tree.write("Applications/Garbage.app/Contents/Info.plist", QByteArray(300, '\xee'));
        tree.write("Applications/Cut.app/Contents/Info.plist",
                   fixture::plist({{"CFBundleIdentifier", "com.cut"}}).left(60));
        tree.mkdir("Applications/Bare.app/Contents");
        tree.fifo("Applications/Fifo.app/Contents/Info.plist");
        tree.bundle("Applications/BadIcon.app", "com.badicon", fixture::PlistFormat::Xml,
                    "icns\xff\xff\xff\xff not really");
        tree.symlink(".", "Applications/Loop");
        tree.desktopEntry("data/applications/broken.desktop", "\x00\x01 nonsense");
        QVERIFY(setup.scan());
        QCOMPARE(setup.shown(), (QStringList{"BadIcon|com.badicon|Applications/BadIcon.app",
                                             "Good|com.good|Applications/Good.app"}));
        QCOMPARE(setup.discovery->icon(setup.find("com.badicon")->id), genericAppIcon());
    }

    void discoveryOrderIsKeptBeforeSorting() {
        Setup setup;
        setup.tree.bundle("System/Applications/Alpha.app", "a");
        setup.tree.bundle("Applications/Zulu.app", "z");
        setup.tree.bundle("Applications/Mike.app", "m");
        setup.tree.desktopEntry("data/applications/b.desktop", desktopEntry("Bravo"));
        QVERIFY(setup.scan());
        QCOMPARE(identifiers(setup.discovery->allDiscoveredApps()),
                 (QStringList{"m", "z", "a", "b"}));
        QCOMPARE(identifiers(setup.discovery->applications()), (QStringList{"a", "b", "m", "z"}));
    }

    void icons() {
        Setup setup;
        const fixture::Tree& tree = setup.tree;
        tree.bundle("Applications/Red.app", "com.red", fixture::PlistFormat::Xml,
                    fixture::icns({{"ic07", fixture::png(fixture::solid(128, 128, Qt::red))}}));
        tree.bundle("Applications/Plain.app", "com.plain");
        tree.write("icons/hicolor/48x48/apps/green-tool.png",
                   fixture::png(fixture::solid(48, 48, Qt::green)));
        tree.desktopEntry("data/applications/green.desktop",
                          desktopEntry("Green", "Icon=green-tool"));
        tree.desktopEntry("data/applications/noicon.desktop",
                          desktopEntry("No Icon", "Icon=not-installed-anywhere"));
        QVERIFY(setup.scan());

        const AppDiscovery& discovery = *setup.discovery;
        QCOMPARE(discovery.icon(setup.find("com.red")->id).pixelColor(64, 64), QColor(Qt::red));
        QCOMPARE(discovery.icon(setup.find("green")->id).pixelColor(64, 64), QColor(Qt::green));
        QCOMPARE(discovery.icon(setup.find("com.plain")->id), genericAppIcon());
        QCOMPARE(discovery.icon(setup.find("noicon")->id), genericAppIcon());
        for (const AppItem& app : discovery.applications()) {
            QCOMPARE(app.icon.size(), QSize(appIconPixels, appIconPixels));
            QCOMPARE(discovery.icon(app.id), app.icon);
        }
        QVERIFY(discovery.icon(QUuid::createUuid()).isNull());
    }

    void everyScanMakesNewIds() {
        Setup setup;
        fourBundles(setup);
        QVERIFY(setup.scan());
        const AppList first = setup.discovery->applications();
        QVERIFY(setup.scan());
        const AppList second = setup.discovery->applications();
        QCOMPARE(second, first); // same bundles: equal by path and name
        for (qsizetype i = 0; i < first.size(); ++i) {
            QVERIFY(first.at(i).id != second.at(i).id);
            // Icons of the previous scan are no longer served.
            QVERIFY(setup.discovery->icon(first.at(i).id).isNull());
        }
    }

    void iconsCanBeLeftOut() {
        Setup setup;
        fourBundles(setup);
        setup.discovery->setLoadsIcons(false);
        QVERIFY(setup.scan());
        QCOMPARE(setup.discovery->applications().size(), 4);
        for (const AppItem& app : setup.discovery->applications())
            QVERIFY(app.icon.isNull());
    }

    void moveApp_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("expected"); // empty: nothing changes, nothing saved

        QTest::addRow("first to last") << 0 << 3 << QStringList{"id.B", "id.C", "id.D", "id.A"};
        QTest::addRow("last to first") << 3 << 0 << QStringList{"id.D", "id.A", "id.B", "id.C"};
        QTest::addRow("one step down") << 1 << 2 << QStringList{"id.A", "id.C", "id.B", "id.D"};
        QTest::addRow("one step up") << 2 << 1 << QStringList{"id.A", "id.C", "id.B", "id.D"};
        QTest::addRow("onto itself") << 2 << 2 << QStringList{};
        QTest::addRow("from before the start") << -1 << 0 << QStringList{};
        QTest::addRow("to past the end") << 0 << 4 << QStringList{};
        QTest::addRow("from past the end") << 4 << 0 << QStringList{};
        QTest::addRow("to before the start") << 0 << -1 << QStringList{};
    }

    void moveApp() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, expected);

        Setup setup;
        fourBundles(setup);
        QVERIFY(setup.scan());
        QSignalSpy changed(setup.discovery.get(), &AppDiscovery::applicationsChanged);
        setup.discovery->moveApp(from, to);

        const QStringList before{"id.A", "id.B", "id.C", "id.D"};
        const QStringList now = identifiers(setup.discovery->applications());
        QCOMPARE(now, expected.isEmpty() ? before : expected);
        QCOMPARE(changed.count(), expected.isEmpty() ? 0 : 1);
        QCOMPARE(setup.store.writeCount(AppSettings::customAppOrderKey),
                 expected.isEmpty() ? 0 : 1);
        QCOMPARE(setup.settings.customAppOrder(), expected);
    }

    void savedOrderDropsHiddenApplications() {
        Setup setup;
        fourBundles(setup);
        setup.settings.setHiddenApps({"id.B"});
        QVERIFY(setup.scan());
        setup.discovery->moveApp(0, 2);
        QCOMPARE(setup.settings.customAppOrder(), (QStringList{"id.C", "id.D", "id.A"}));

        // Shown again, it has no place in the saved order and goes last.
        setup.settings.setHiddenApps({});
        setup.discovery->filterAndSortApps();
        QCOMPARE(identifiers(setup.discovery->applications()),
                 (QStringList{"id.C", "id.D", "id.A", "id.B"}));
    }

    void manualOrderSurvivesARescan() {
        Setup setup;
        fourBundles(setup);
        QVERIFY(setup.scan());
        setup.discovery->moveApp(3, 0);
        setup.tree.bundle("Applications/Aardvark.app", "id.new");
        QVERIFY(setup.scan());
        QCOMPARE(identifiers(setup.discovery->applications()),
                 (QStringList{"id.D", "id.A", "id.B", "id.C", "id.new"}));
    }

    void hidingShowsOnlyAfterFilterAndSort() {
        Setup setup;
        fourBundles(setup);
        QVERIFY(setup.scan());
        setup.settings.hideApp("id.C");
        QCOMPARE(setup.discovery->applications().size(), 4);
        QSignalSpy changed(setup.discovery.get(), &AppDiscovery::applicationsChanged);
        setup.discovery->filterAndSortApps();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(identifiers(setup.discovery->applications()),
                 (QStringList{"id.A", "id.B", "id.D"}));
        QCOMPARE(setup.discovery->allDiscoveredApps().size(), 4);
    }

    void deleteMovesToTheTrashAndRescans() {
        Setup setup;
        fourBundles(setup);
        setup.settings.setCustomAppOrder({"id.C", "id.B"});
        setup.settings.setHiddenApps({"id.A"});
        QVERIFY(setup.scan());
        const AppItem doomed = *setup.find("id.C");

        const StdoutCapture output;
        QSignalSpy finished(setup.discovery.get(), &AppDiscovery::scanFinished);
        setup.discovery->deleteApp(doomed);
        QCOMPARE(setup.trash.requests, QStringList{doomed.path});
        QVERIFY(setup.discovery->isLoading());
        QVERIFY(finished.wait(20'000));
        QVERIFY(!setup.discovery->isLoading());
        QCOMPARE(identifiers(setup.discovery->applications()), (QStringList{"id.B", "id.D"}));
        QCOMPARE(output.text(), QString());
        // The settings keep every mention of the deleted application.
        QCOMPARE(setup.settings.customAppOrder(), (QStringList{"id.C", "id.B"}));
        QVERIFY(setup.settings.hiddenApps().contains("id.A"));
    }

    void failedDeletePrintsOneLineAndChangesNothing() {
        Setup setup;
        fourBundles(setup);
        QVERIFY(setup.scan());
        setup.trash.failWith = QStringLiteral("The volume does not support the Trash.");
        const AppList before = setup.discovery->applications();
        QSignalSpy finished(setup.discovery.get(), &AppDiscovery::scanFinished);
        QSignalSpy loading(setup.discovery.get(), &AppDiscovery::isLoadingChanged);

        const StdoutCapture output;
        setup.discovery->deleteApp(before.at(1));
        settle();
        QCOMPARE(output.lines(),
                 QStringList{"Error deleting app: The volume does not support the Trash."});
        QCOMPARE(finished.count(), 0);
        QCOMPARE(loading.count(), 0);
        QVERIFY(!setup.discovery->isLoading());
        QCOMPARE(setup.discovery->applications(), before);
        QVERIFY(QFileInfo::exists(before.at(1).path));
    }

    // The scan started last is the one published: an older scan that saw an
    // application before it went to the Trash must not bring it back.
    void theLastStartedScanWins() {
        Setup setup;
        fourBundles(setup);
        for (int i = 0; i < 40; ++i)
            setup.tree.bundle(QStringLiteral("Applications/Filler%1.app").arg(i),
                              QStringLiteral("fill.%1").arg(i));
        QVERIFY(setup.scan());
        const AppItem doomed = *setup.find("id.B");

        QSignalSpy finished(setup.discovery.get(), &AppDiscovery::scanFinished);
        setup.discovery->setIsLoading(true);
        setup.discovery->loadApplications();
        setup.discovery->deleteApp(doomed);
        QVERIFY(finished.wait(20'000));
        settle();
        QCOMPARE(finished.count(), 1);
        QVERIFY(setup.find("id.B") == nullptr);
        QCOMPARE(setup.discovery->applications().size(), 43);
        QVERIFY(!setup.discovery->isLoading());
    }

    void manyOverlappingScansPublishOnce() {
        Setup setup;
        fourBundles(setup);
        QSignalSpy finished(setup.discovery.get(), &AppDiscovery::scanFinished);
        setup.discovery->setIsLoading(true);
        for (int i = 0; i < 10; ++i)
            setup.discovery->loadApplications();
        QVERIFY(finished.wait(20'000));
        settle();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(setup.discovery->applications().size(), 4);
    }

    void destroyedWhileScanning() {
        Setup setup;
        fourBundles(setup);
        setup.discovery->loadApplications();
        setup.discovery->loadApplications();
        setup.discovery.reset();
        settle();
        QVERIFY(setup.discovery == nullptr);
    }
};

QTEST_MAIN(TestAppDiscovery)
#include "tst_appdiscovery.moc"
