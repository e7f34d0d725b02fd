#include "AppDiscovery.h"
#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "AppListModel.h"
#include "AppSettings.h"
#include "CatalogueCache.h"
#include "CatalogueFixture.h"
#include "CatalogueWatch.h"
#include "IconDecoding.h"
#include "QmlTestView.h"
#include "RecordingDefaultsStore.h"
#include "ScreenshotComposer.h"
#include "ShellFakes.h"
#include "StdoutCapture.h"
#include "TestMain.h"
#include "UuidText.h"

#include <QAbstractItemModelTester>
#include <QDirIterator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

// The published catalogue: scanned off the GUI thread, published in display
// order, its icons served as views ask for them, reordered by the user,
// trimmed by the Trash, and shown through the list model.
class CatalogueTest : public QObject {
    Q_OBJECT

    struct Setup {
        fixture::Tree tree;
        RecordingDefaultsStore store;
        AppSettings settings{store};
        RecordingTrash trash;
        CatalogueRoots roots;
        std::unique_ptr<AppDiscovery> discovery;

        explicit Setup(const QString& items) {
            tree.build(items.split(u' '));
            roots.bundleFolders = CatalogueRoots::bundleFoldersUnder(tree.root());
            roots.desktopEntryFolders = {tree.path("data"), tree.path("system")};
            roots.iconThemeFolders = {tree.path("icons")};
            discovery = std::make_unique<AppDiscovery>(settings, roots, trash);
        }
        [[nodiscard]] bool scan() const {
            QSignalSpy finished(discovery.get(), &AppDiscovery::scanFinished);
            discovery->setIsLoading(true);
            discovery->loadApplications();
            return finished.wait(60'000);
        }
        [[nodiscard]] QString shown() const {
            QStringList identifiers;
            for (const AppItem& app : discovery->applications())
                identifiers << app.bundleIdentifier + (app.icon.isEmpty() ? "" : "/" + app.icon);
            return identifiers.join(u' ');
        }
        void restart() { // a new launcher, with a cache, which it draws at once
            discovery = std::make_unique<AppDiscovery>(settings, roots, trash);
            discovery->setCacheFile(tree.path("cache/catalogue"));
            connect(discovery.get(), &AppDiscovery::cachedCatalogueShown, discovery.get(),
                    &AppDiscovery::startCheckingScan);
        }
        void age() const { // else every stamp is too recent to be trusted
            const timespec past[2] = {{std::time(nullptr) - 3600, 0},
                                      {std::time(nullptr) - 3600, 0}};
            QDirIterator it(tree.root(), QDir::AllEntries | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(it.next()), past, 0), 0);
        }
    };

    static inline const QString fourBundles =
        "Applications/A.app=A Applications/B.app=B Applications/C.app=C Applications/D.app=D";

private Q_SLOTS:
    void order_data() {
        // Locale, applications "Name=identifier", hidden, manual order, shown.
        QTest::addColumn<QStringList>("row");
        for (const char* locale : {"C", "en_US", "tr_TR"})
            QTest::addRow("%s: case ignored, equal names in discovery order", locale)
                << QStringList{locale, "NOTES=n1 Cherry=c notes=n2 apple=a Notes=n3", "", "",
                               "a c n1 n3 n2"};
        QTest::newRow("hidden ones taken out of that order") << QStringList{
            "C", "NOTES=n1 Cherry=c notes=n2 apple=a Notes=n3", "c n2", "", "a n1 n3"};
        QTest::newRow("digits one by one, accents with their letter")
            << QStringList{"en_US", "App2=2 App10=10 Émile=é Eagle=e Fig=f", "", "", "10 2 e é f"};
        QTest::newRow("manual order: hidden, repeated, unknown, other-case, unlisted")
            << QStringList{"en_US", "A=a B=b C=c D=d E=e", "a D", "a x c A b c", "c b d e"};
    }

    void order() {
        QFETCH(QStringList, row);
        Setup setup(row[1].replace(QRegularExpression("(\\S+)="), "Applications/\\1.app="));
        const QStringList hidden = row[2].split(u' ', Qt::SkipEmptyParts);
        setup.settings.setHiddenApps({hidden.cbegin(), hidden.cend()});
        setup.settings.setCustomAppOrder(row[3].split(u' ', Qt::SkipEmptyParts));
        const QLocale before;
        QLocale::setDefault(QLocale(row[0]));
        const bool scanned = setup.scan();
        QLocale::setDefault(before);
        QVERIFY(scanned);
        QCOMPARE(setup.shown(), row[4]);
    }

    // Published whole before the scan is reported finished. The icon provider
    // decodes each application's icon, or the generic one, at the size asked,
    // with the corners asked for (transparent outside them).
    void publication() {
        const Setup setup("Applications/Plain.app=plain data/g.desktop:Name=G&Icon=green "
                          "data/n.desktop:Name=N&Icon=not-installed");
        setup.tree.bundle("Applications/Red.app", "red",
                          fixture::icns({{"ic07", fixture::png(128, 128, Qt::red)}}));
        setup.tree.bundle("Applications/Bad.app", "bad", "not a picture");
        setup.tree.write("icons/hicolor/48x48/apps/green.png", fixture::png(48, 48, Qt::green));
        AppDiscovery& discovery = *setup.discovery;
        QStringList log;
        connect(&discovery, &AppDiscovery::scanFinished, this, [&] {
            log << QStringLiteral("%1 shown, loading %2")
                       .arg(discovery.count())
                       .arg(discovery.isLoading());
        });
        QVERIFY(setup.scan());
        AppIconProvider provider(discovery);
        QSize size;
        for (const AppItem& app : discovery.applications() + AppList{{}}) { // and an unknown id
            const QImage icon = provider.requestImage(uuidText(app.id), &size, QSize(40, 0));
            log << (icon == genericAppIcon(40) ? "generic" : icon.pixelColor(20, 20).name());
        }
        QCOMPARE(log, (QStringList{"5 shown, loading 0", "generic", "#00ff00", "generic", "generic",
                                   "#ff0000", "generic"}));
        // Square or rounded, as asked; the rounded picture is kept as shown, so
        // asking again shares its pixels instead of rounding it anew.
        const QString red = uuidText(discovery.applications().at(4).id);
        const QImage square = provider.requestImage(red, &size, QSize(20, 20));
        const QImage rounded = provider.requestImage(red + "?corner=0.25", &size, QSize(20, 20));
        QCOMPARE((QList<int>{square.pixelColor(0, 0).alpha(), rounded.pixelColor(0, 0).alpha(),
                             rounded.pixelColor(10, 10).alpha(), square.width()}),
                 (QList<int>{255, 0, 255, 20}));
        QCOMPARE(provider.requestImage(red + "?corner=0.25", &size, {20, 20}).constBits(),
                 rounded.constBits());
        // A desktop action's own icon; an unknown action's is clear, and one
        // that names none has no address at all. The icon N lacked is
        // installed meanwhile: the next scan finds it.
        setup.tree.write("data/g.desktop", "[Desktop Entry]\nType=Application\nExec=true\nName=G\n"
                                           "Actions=w;x;\n[Desktop Action w]\nName=W\nIcon=green\n"
                                           "[Desktop Action x]\nName=X\n");
        setup.tree.write("icons/hicolor/48x48/apps/not-installed.png",
                         fixture::png(48, 48, Qt::blue));
        QVERIFY(setup.scan());
        QCOMPARE(provider.requestImage(uuidText(discovery.applications().at(2).id), &size, {})
                     .pixelColor(32, 32),
                 QColor(Qt::blue));
        const AppItem g = discovery.applications().at(1);
        QCOMPARE(g.actions.size(), 2);
        QCOMPARE(actionIconSource(g, g.actions.at(0)), appIconSource(g) + "?action=w");
        QVERIFY(actionIconSource(g, g.actions.at(1)).isEmpty());
        const auto colour = [&](const char* action) {
            return provider.requestImage(uuidText(g.id) + "?action=" + action, &size, {16, 16})
                .pixelColor(8, 8)
                .name(QColor::HexArgb);
        };
        QCOMPARE(colour("w") + colour("z"), QString("#ff00ff00#00000000"));
    }

    // Tiles ask for their icons once shown. Whatever the list has become by
    // the time they arrive (reordered, narrowed, rescanned with every id new),
    // each tile gets its own application's picture, and a screenshot has them.
    void iconsFollowTheirTiles() {
        const Setup setup("Applications/");
        for (const char* colour : {"red", "lime", "blue"})
            setup.tree.bundle(QString("Applications/%1.app").arg(colour), colour,
                              fixture::icns({{"ic07", fixture::png(128, 128, QColor(colour))}}));
        QVERIFY(setup.scan());
        AppListModel model;
        QmlTestView qml(QSize(360, 110));
        qml.engine().addImageProvider(QString(appIconProviderId),
                                      new AppIconProvider(*setup.discovery));
        QVERIFY(qml.load("import Quorlin\nimport QtQuick\nRow { property var apps\nRepeater { "
                         "model: apps; AppIconView { iconSource: model.iconSource } } }",
                         {{"apps", QVariant::fromValue(&model)}}));
        const auto tiles = [&] { // as a screenshot takes them, once no icon is on its way
            const QImage frame = grabWhenImagesLoaded(qml.view(), 60'000);
            QString centres;
            for (int i = 0; i < model.rowCount(); ++i)
                centres += frame.pixelColor(120 * i + 60, 35).name();
            return centres;
        };
        model.setApps(setup.discovery->applications()); // blue lime red
        setup.discovery->moveApp(0, 2);
        model.setApps(setup.discovery->applications());
        QCOMPARE(tiles(), "#00ff00#ff0000#0000ff");
        QVERIFY(setup.scan());
        model.setApps(setup.discovery->applications().mid(1));
        QCOMPARE(tiles(), "#ff0000#0000ff");
    }

    // A move is saved as the manual order, which outlives a rescan; a move
    // out of range or onto itself changes and saves nothing.
    void moveApp() {
        const Setup setup(fourBundles);
        QVERIFY(setup.scan());
        for (const auto& [from, to] : {std::pair{2, 2}, {-1, 0}, {0, 4}, {4, 0}})
            setup.discovery->moveApp(from, to);
        QCOMPARE(setup.store.writeCount(AppSettings::customAppOrderKey), 0);
        setup.discovery->moveApp(0, 3);
        QVERIFY(setup.scan());
        QCOMPARE(setup.shown(), "B C D A");
    }

    // Installed and removed while the launcher runs. An application taken out
    // keeps its place in the stored order, and comes back to it.
    void liveCatalogue() {
        const Setup setup(fourBundles + " data/");
        QVERIFY(setup.scan());
        const CatalogueWatch watch(*setup.discovery, 50);
        setup.discovery->moveApp(3, 0);
        QVERIFY(QDir(setup.tree.path("Applications/B.app")).removeRecursively());
        QTRY_COMPARE_WITH_TIMEOUT(setup.shown(), "D A C", 60'000);
        setup.discovery->moveApp(0, 2);
        for (int i = 0; i < 300; ++i) // a package manager's burst, into a folder it makes
            setup.tree.build({QString("system/e%1.desktop:Name=E").arg(i)});
        QTRY_COMPARE_WITH_TIMEOUT(setup.discovery->count(), 303, 60'000);
        setup.tree.bundle("Applications/B.app", "B");
        QTRY_COMPARE_WITH_TIMEOUT(setup.discovery->count(), 304, 60'000);
        QVERIFY2(setup.shown().startsWith("A B C D e"), qPrintable(setup.shown()));
    }

    // A refused deletion prints one line and changes nothing; a done one
    // rescans, and is not undone by a scan that had started before it.
    void deleteApp() {
        Setup setup(fourBundles + " data/e.desktop:Name=E system/e.desktop:Name=E");
        QVERIFY(setup.scan());
        const QSignalSpy finished(setup.discovery.get(), &AppDiscovery::scanFinished);
        const AppItem doomed = setup.discovery->applications().at(1);
        setup.trash.failWith = "No Trash here.";
        const StdoutCapture output;
        setup.discovery->deleteApp(doomed);
        QCOMPARE(output.lines(), QStringList{"Error deleting app: No Trash here."});
        QVERIFY(!setup.discovery->isLoading());
        setup.trash.failWith.clear();
        setup.discovery->loadApplications();
        setup.discovery->deleteApp(doomed);
        QVERIFY(setup.discovery->isLoading());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60'000);
        QCOMPARE(setup.shown(), "A C D e");
        QCoreApplication::processEvents(); // scans run one at a time: the first has ended
        QCOMPARE(finished.count(), 1);
        // The user's entry that shadows the system's is the one that goes.
        setup.discovery->deleteApp(setup.discovery->applications().at(3));
        QCOMPARE(setup.trash.requests.last(), setup.tree.path("data/e.desktop"));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 60'000);
        QCOMPARE(setup.shown(), "A C D e");
        QVERIFY(QFile::exists(setup.tree.path("system/e.desktop")));
    }

    // A cold start shows the stored catalogue only while nothing it was read
    // from has changed; a cache that cannot be trusted is named on standard
    // error, never shown, and rebuilt. The scan behind has the last word, and
    // the hidden set and the order always come from the settings.
    void cache_data() {
        // What changes besides the settings ("-path" removes, "flip:n" and "cut:n"
        // edit the cache), each publication ("cached|scanned"), the complaint.
        QTest::addColumn<QStringList>("row");
        QTest::newRow("settings") << QStringList{"", "f b a|f b a", ""};
        QTest::newRow("entry changed")
            << QStringList{"data/f.desktop:Name=Fox&Icon=star", "f/star b a", ""};
        QTest::newRow("app removed") << QStringList{"-Applications/B.app", "f a", ""};
        QTest::newRow("app added") << QStringList{"Applications/C.app=c", "f b a c", ""};
        QTest::newRow("other version") << QStringList{"flip:11", "f b a", "another version"};
        QTest::newRow("damaged") << QStringList{"flip:40", "f b a", "damaged"};
        QTest::newRow("truncated") << QStringList{"cut:40", "f b a", "truncated"};
        QTest::newRow("unwritable") << QStringList{"-cache cache|", "f b a", "could not write"};
    }

    void cache() {
        QFETCH(QStringList, row);
        Setup setup("Applications/A.app=a Applications/B.app=b data/e.desktop:Name=E "
                    "data/f.desktop:Name=F");
        setup.age();
        setup.restart();
        QVERIFY(setup.scan());
        // Written soon after the scan, while the launcher runs.
        QTRY_VERIFY(QFile::exists(setup.tree.path("cache/catalogue")));
        setup.discovery.reset();
        QFile file(setup.tree.path("cache/catalogue"));
        setup.settings.setHiddenApps({"e"});
        setup.settings.setCustomAppOrder({"f", "b"});
        for (const QString& item : row[0].split(u' ', Qt::SkipEmptyParts)) {
            const int at = item.section(u':', 1).toInt();
            if (item.startsWith(u'-'))
                QVERIFY(QDir(setup.tree.path(item.mid(1))).removeRecursively());
            else if (item.startsWith("flip:") && file.open(QIODevice::ReadWrite))
                file.seek(at), file.write(QByteArray(1, char(file.peek(1)[0] ^ 1)));
            else if (item.startsWith("cut:"))
                QVERIFY(file.resize(at));
            else
                setup.tree.build({item});
        }
        file.close();
        const StdoutCapture errors(stderr);
        setup.restart();
        QStringList log;
        connect(setup.discovery.get(), &AppDiscovery::applicationsChanged, this,
                [&] { log << setup.shown(); });
        QVERIFY(setup.scan());
        setup.discovery.reset();
        QCOMPARE(log.join(u'|'), row[1]);
        QCOMPARE(errors.lines().size(), row[2].isEmpty() ? 0 : 1);
        QVERIFY(errors.lines().join("").contains(row[2]));
        const bool rebuilt =
            file.open(QIODevice::ReadOnly) && CatalogueSnapshot::decode(file.readAll());
        QCOMPARE(rebuilt, row[2] != "could not write");
    }

    // The scan that checks a cached catalogue waits until the launcher has
    // drawn it, or for its delay when nothing is drawn (a start in the
    // background); with nothing cached, the scan is the first screen and
    // starts at once.
    void checkingScanWaits() {
        Setup setup(fourBundles);
        setup.age();
        setup.restart();
        QVERIFY(setup.scan());
        QTRY_VERIFY(QFile::exists(setup.tree.path("cache/catalogue")));
        for (const bool drawn : {true, false}) {
            setup.discovery =
                std::make_unique<AppDiscovery>(setup.settings, setup.roots, setup.trash);
            AppDiscovery& discovery = *setup.discovery;
            discovery.setCacheFile(setup.tree.path("cache/catalogue"));
            discovery.setCheckingScanDelay(drawn ? 600'000 : 50);
            QSignalSpy shown(&discovery, &AppDiscovery::cachedCatalogueShown);
            QSignalSpy finished(&discovery, &AppDiscovery::scanFinished);
            discovery.loadApplications();
            QVERIFY(shown.wait(60'000));
            QCOMPARE(discovery.count(), 4);
            if (drawn) {
                QVERIFY(!finished.wait(300)); // the time is the input: the scan waits
                discovery.startCheckingScan();
            }
            QVERIFY(finished.wait(60'000));
        }
        // Nothing cached: the scan starts while this thread is still busy, as
        // it is building the window, with no event handled in between.
        setup.discovery.reset(); // which writes the cache
        QVERIFY(QFile::remove(setup.tree.path("cache/catalogue")));
        const int scanOpens = inotify_init1(IN_CLOEXEC);
        inotify_add_watch(scanOpens, QFile::encodeName(setup.tree.path("Applications")), IN_OPEN);
        setup.restart();
        setup.discovery->loadApplications();
        pollfd opened{scanOpens, POLLIN, 0};
        QCOMPARE(poll(&opened, 1, 20'000), 1);
        close(scanOpens);
    }

    // Launchers writing the cache at once never leave a file that another
    // could read half written.
    void cacheWriters() {
        const fixture::Tree tree;
        const CatalogueRoots roots{{}, {tree.path("gone")}, {}, {}};
        const CatalogueCache cache(tree.path("catalogue"));
        QVERIFY(cache.store(CatalogueCache::snapshot(roots, {})));
        const auto write = [&](int from) { // a different catalogue each time
            for (int i = from; i < from + 200; ++i)
                cache.store(
                    CatalogueCache::snapshot(roots, {{{}, QString::number(i), {}, {}, {}}}));
        };
        const StdoutCapture errors(stderr);
        QFuture<void> writers[] = {QtConcurrent::run(write, 0), QtConcurrent::run(write, 1000)};
        int unreadable = 0;
        while (!writers[0].isFinished() || !writers[1].isFinished())
            unreadable += cache.load(roots) ? 0 : 1;
        QCOMPARE(QPair(unreadable, errors.lines()), QPair(0, QStringList()));
    }

    // The list model behind every application list in QML follows a new list
    // without a reset whenever rows survive, so views keep their delegates; the
    // model tester checks every change it announces on the way.
    void setApps_data() {
        QTest::addColumn<QString>("change"); // "before>after", one application per letter
        QTest::addColumn<bool>("reset");
        QTest::newRow("search narrows to scattered rows") << "ABCDEFG>ACEG" << false;
        QTest::newRow("removed, moved and added at once") << "ABCDEFGH>HBXDFYCG" << false;
        QTest::newRow("rescan of the same list, every id new") << "ABC>ABC" << false;
        QTest::newRow("nothing in common") << "ABC>XYZ" << true;
    }

    void setApps() {
        QFETCH(QString, change);
        QFETCH(bool, reset);
        // A letter keeps its path and name, and so stays the same application.
        const auto apps = [](const QString& letters) {
            AppList list;
            for (const QChar letter : letters)
                list.append({QUuid::createUuid(), letter, {}, "/apps/" + QString(letter), {}});
            return list;
        };
        AppListModel model;
        const QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setApps(apps(change.section(u'>', 0, 0)));
        const QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        const AppList target = apps(change.section(u'>', 1));
        model.setApps(target);
        QCOMPARE(model.apps(), target); // by name and path
        for (int row = 0; row < model.rowCount(); ++row)
            QCOMPARE(model.data(model.index(row), AppListModel::AppIdRole).toString(),
                     uuidText(target[row].id));
        QCOMPARE(resets.count(), reset ? 1 : 0);
    }
};

QUORLIN_TEST(CatalogueTest)
#include "CatalogueTest.moc"
