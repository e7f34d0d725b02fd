#include "MainScreen.h"
#include "AppDelegate.h"
#include "AppDiscovery.h"
#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "AppSettings.h"
#include "CatalogueFixture.h"
#include "DesktopBackground.h"
#include "DesktopBackgroundProvider.h"
#include "LauncherFrame.h"
#include "PagedGrid.h"
#include "QmlTestView.h"
#include "RecordingDefaultsStore.h"
#include "ShellFakes.h"
#include "StdoutCapture.h"
#include "TestMain.h"
#include "TypedTextFirst.h"
#include "UuidText.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>

namespace {

// The main screen in the launcher window, over desktop entries on disk, with
// every service it calls recorded.
struct Launcher {
    explicit Launcher(const QStringList& names) {
        for (const QString& name : names)
            catalogue.build(
                {"applications/org.example." + name.toLower() + ".desktop:Name=" + name});
        qml.engine().addImageProvider(QString(appIconProviderId), new AppIconProvider(discovery));
        qml.engine().addImageProvider(DesktopBackgroundProvider::providerId,
                                      background.createImageProvider());
        qml.view().setResizeMode(QQuickView::SizeRootObjectToView);
    }

    bool show() {
        QQuickItem* root = qml.load("import Quorlin\nContentView {}",
                                    {{"mainScreen", QVariant::fromValue(&screen)}});
        delegate.setupWindow(&qml.view(), root);
        delegate.setNavigator([this](int key) { return screen.navigate(key); });
        return root && QTest::qWaitForWindowActive(&qml.view());
    }

    // Popups live in the window's overlay, beside the main screen.
    QQuickItem* item(const char* name) { return itemNamed(qml.view().contentItem(), name); }
    QString text(const char* n) { return item(n) ? item(n)->property("text").toString() : ""; }
    QString source(const char* name) { return item(name)->property("source").toString(); }

    fixture::Tree catalogue;
    RecordingDefaultsStore store;
    RecordingTrash trash;
    RecordingLauncher launcher;
    RecordingRevealer revealer;
    FixedPictureSource pictures;
    QStringList lines;
    AppSettings settings{store};
    AppDiscovery discovery{settings, {{}, {catalogue.path("applications")}, {}, {}}, trash};
    DesktopBackground background{pictures, [this](const QString& line) { lines.append(line); }};
    MainScreen screen{settings, discovery, launcher, revealer, background};
    QmlTestView qml{QSize(1280, 800)};
    FakeHotkey hotkey;
    AppDelegate delegate{hotkey};
};

} // namespace

class MainScreenTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statesSearchBackgroundAndKeys() {
        Launcher l({"Notes", "Maps", "Mail"});
        QVERIFY(l.show());
        QCOMPARE(l.qml.view().geometry(), launcherFrame(*QGuiApplication::primaryScreen()));
        QCOMPARE(l.text("emptyText"), QString("No applications found"));
        QVERIFY(l.source("emptySymbol").endsWith("/app-dashed.svg"));
        l.screen.appear();
        QVERIFY(l.item("loadingState")->isVisible() && !l.item("emptyState")->isVisible());
        QTRY_VERIFY(l.item("gridState")->property("active").toBool());

        QTRY_VERIFY(l.item("searchField")->hasActiveFocus());
        for (const char c : QByteArray("Zebra's"))
            QTest::keyClick(&l.qml.view(), c);
        QVERIFY(l.item("emptyState")->isVisible());
        QCOMPARE(l.text("emptyText"), QString("No results for 'Zebra's'"));
        QVERIFY(l.source("emptySymbol").endsWith("/magnifyingglass.svg"));
        // The clear button grows from nothing; it takes clicks once it is there.
        QTRY_COMPARE(l.item("clearButton")->scale(), 1.0);
        l.qml.click(l.item("clearButton"));
        QTRY_VERIFY(!l.item("clearButton")->isVisible());
        l.screen.grid()->setCurrentPage(1); // as a turn would
        QVERIFY(l.screen.grid()->keepsNeighbours());
        QTest::keyClick(&l.qml.view(), 'a');
        QCOMPARE(l.screen.filteredApps().size(), 2); // Mail and Maps
        QVERIFY(!l.screen.grid()->keepsNeighbours());

        QVERIFY(l.item("fallbackGradient")->isVisible());
        QTemporaryDir dir;
        QVERIFY(QFile::copy(":/Quorlin/grid/icons/badge-shadow.png", dir.filePath("Sky.png")));
        l.pictures.setUrl(QUrl::fromLocalFile(dir.filePath("Sky.png")));
        l.background.load();
        QTRY_COMPARE(l.item("desktopPicture")->property("status").toInt(), 1); // Image.Ready
        QVERIFY(l.item("desktopPicture")->isVisible() && !l.item("fallbackGradient")->isVisible());
        QCOMPARE(l.lines.last(), "Desktop image loaded successfully: Sky.png, size: (30.0, 30.0)");

        QSignalSpy escapes(&l.delegate, &AppDelegate::escapePressed);
        QTest::keyClick(&l.qml.view(), Qt::Key_Escape);
        QTest::keyClick(&l.qml.view(), Qt::Key_F4);
        QTRY_VERIFY(!l.qml.view().isVisible());
        QCOMPARE(escapes.count(), 1);
        // The keys the launcher acts on never reach the search field.
        QCOMPARE(l.screen.searchText(), QString("a"));
    }

    void launchThenHide() {
        Launcher l({"Notes", "Maps"});
        l.screen.appear();
        QTRY_COMPARE(l.screen.contentState(), MainScreen::ContentState::Grid);
        l.screen.setSearchText("no");
        QSignalSpy hides(&l.screen, &MainScreen::hideLauncherRequested);
        QElapsedTimer clock;
        clock.start();
        l.screen.grid()->launch(uuidText(l.screen.filteredApps().at(0).id));
        QCOMPARE(l.launcher.launched.value(0).name, QString("Notes"));
        QTRY_COMPARE(hides.count(), 1);
        QVERIFY(clock.elapsed() >= MainScreen::launchHideDelayMs - 10);
        // A launch that fails keeps the launcher and says so until the word fades.
        const StdoutCapture out;
        l.launcher.failWith = "Failed to execute child process";
        l.screen.grid()->launch(uuidText(l.screen.filteredApps().at(0).id));
        QTRY_COMPARE(l.screen.launchError(), "Could not open Notes");
        QCOMPARE(out.lines(), QStringList{"Error launching app: " + l.launcher.failWith});
        QTRY_COMPARE_WITH_TIMEOUT(l.screen.launchError(), "", MainScreen::launchErrorMs * 2);
        QCOMPARE(hides.count(), 1);
        // The search is kept for the launcher's return; hiding is kept in the settings.
        l.screen.grid()->hide(uuidText(l.screen.filteredApps().at(0).id));
        QVERIFY(l.screen.filteredApps().isEmpty());
        QCOMPARE(l.settings.hiddenApps(), QSet<QString>{"org.example.notes"});
        // In edit mode the hidden list brings it back.
        QVERIFY(l.show());
        l.screen.setEditMode(true);
        QTRY_VERIFY(l.item("hiddenAppsButton") && l.item("hiddenAppsButton")->isVisible());
        l.qml.click(l.item("hiddenAppsButton"));
        QTRY_VERIFY(l.item("pickerRow") && l.item("pickerRow")->property("name") == "Notes");
        l.qml.click(l.item("pickerRow"));
        QTRY_COMPARE(l.screen.filteredApps().size(), 1);
        QVERIFY(l.settings.hiddenApps().isEmpty() && !l.item("hiddenAppsButton")->isVisible());
        l.screen.grid()->launchAction(uuidText(l.screen.filteredApps().at(0).id), "new-window");
        QCOMPARE(l.launcher.actions.last(), "new-window");
    }

    void deleteAlert_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("trashError");
        QTest::addColumn<int>("remaining");
        QTest::addRow("Cancel") << "cancelButton" << QString() << 2;
        QTest::addRow("Escape") << "Escape" << QString() << 2;
        QTest::addRow("Return on the first") << "Return" << QString() << 2;
        QTest::addRow("Right, Return") << "Right Return" << QString() << 1;
        QTest::addRow("Delete moves it to the Trash") << "deleteButton" << QString() << 1;
        QTest::addRow("Delete refused") << "deleteButton" << QString("Permission denied") << 2;
    }

    void deleteAlert() {
        QFETCH(QString, answer);
        QFETCH(QString, trashError);
        QFETCH(int, remaining);
        Launcher l({"Maps", "Mail"});
        l.trash.failWith = trashError;
        QVERIFY(l.show());
        l.screen.appear();
        QTRY_COMPARE(l.screen.contentState(), MainScreen::ContentState::Grid);
        const AppItem maps = l.screen.filteredApps().at(1);
        l.screen.grid()->requestDelete(uuidText(maps.id));
        QTRY_COMPARE(l.text("deleteTitle"), QString("Delete Application"));
        QCOMPARE(l.text("deleteMessage"), QString("Are you sure you want to move Maps to the "
                                                  "Trash? This action cannot be undone."));
        // Open once the keyboard is on its harmless button.
        QTRY_VERIFY(l.item("cancelButton")->hasActiveFocus());
        if (answer.endsWith("Button"))
            l.qml.click(l.item(answer.toUtf8()));
        for (const QString& key : answer.endsWith("Button") ? QStringList() : answer.split(' '))
            QTest::keyClick(&l.qml.view(), QKeySequence(key)[0].key());
        // Escape is the open alert's, not the launcher's: it closes the alert.
        QTRY_VERIFY(!l.screen.showDeleteConfirmation());
        // A stray second confirmation must not delete again.
        l.screen.confirmDelete();
        QCOMPARE(l.trash.requests, answer.contains(QRegularExpression("^delete|^Right"))
                                       ? QStringList{maps.path}
                                       : QStringList{});
        QTRY_COMPARE(l.screen.filteredApps().size(), remaining);
    }

    // Tab goes round the search field, the grid's ring and the Edit button;
    // letters and Backspace always reach the search field.
    void keyboardStops() {
        Launcher l({"Maps", "Mail"});
        QVERIFY(l.show());
        l.screen.appear();
        QTRY_COMPARE(l.screen.contentState(), MainScreen::ContentState::Grid);
        const auto stop = [&l] {
            return l.screen.editButtonFocused()                 ? QString("edit")
                   : l.screen.grid()->focusedCellId().isEmpty() ? QString("search")
                                                                : QString("grid");
        };
        QString stops;
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab}) {
            QTest::keyClick(&l.qml.view(), key,
                            key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            stops += stop() + ' ';
        }
        QCOMPARE(stops, QString("grid edit search edit "));
        QTest::keyClick(&l.qml.view(), Qt::Key_Return);
        QVERIFY(l.screen.isEditMode());
        l.item("searchField")->setFocus(false); // as a closed menu leaves it
        QTest::keyClick(&l.qml.view(), Qt::Key_M);
        QTest::keyClick(&l.qml.view(), Qt::Key_A);
        QCOMPARE(l.screen.searchText(), QString("ma"));
        QCOMPARE(stop(), QString("search"));
        l.item("searchField")->setFocus(false);
        QTest::keyClick(&l.qml.view(), Qt::Key_Backspace);
        QCOMPARE(l.screen.searchText(), QString("m"));
    }

    // A typed letter is drawn before the grid narrows; Return acts on all the letters before it.
    void typedTextDrawnFirst() {
        Launcher l({"Maps", "Mail", "Notes"});
        QVERIFY(l.show());
        // Nothing asks for the search but the catalogue's publication, which applies it, words too.
        l.screen.setDefersSearch(true);
        l.screen.setSearchText("zz");
        l.screen.appear();
        QTRY_COMPARE(l.text("emptyText"), QString("No results for 'zz'"));
        l.screen.setDefersSearch(false);
        l.screen.setSearchText("");
        drawTypedTextFirst(l.screen, l.qml.view(), 60000); // however slow this machine's frames
        QCOMPARE(l.screen.contentState(), MainScreen::ContentState::Grid);
        // Key presses as the window reads them, with no frame in between.
        const auto press = [&l](Qt::Key key, const QString& text) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(&l.qml.view(), &event);
        };
        // The letter's frame still shows the whole grid; the next shows its results.
        QList<qsizetype> shown;
        QObject::connect(&l.qml.view(), &QQuickWindow::frameSwapped, &l.screen,
                         [&] { shown << l.screen.filteredApps().size(); });
        press(Qt::Key_N, "n");
        QTRY_VERIFY(shown.size() >= 2);
        QCOMPARE(shown.first(2), (QList<qsizetype>{3, 1}));
        press(Qt::Key_Backspace, "");
        press(Qt::Key_M, "m");
        press(Qt::Key_A, "a");
        press(Qt::Key_Return, "\r");
        QCOMPARE(l.launcher.launched.value(0).name.left(2), QString("Ma"));
        // Out of sight nothing is drawn: the search applies at once.
        l.qml.view().hide();
        l.screen.setSearchText("x");
        QVERIFY(l.screen.filteredApps().isEmpty());
    }

    void deleteBadgeOnlyInEditModeWithADeleteAction() {
        QmlTestView qml(QSize(300, 300));
        QQuickItem* tile = qml.load("import Quorlin\nAppIconView {}", {{"hasDeleteAction", true}});
        QVERIFY(tile && !itemNamed(tile, "deleteBadge"));
        tile->setProperty("isEditMode", true);
        QVERIFY(itemNamed(tile, "deleteBadge"));
        QSignalSpy deletes(tile, SIGNAL(deleteClicked()));
        qml.click(itemNamed(tile, "deleteBadge"));
        QCOMPARE(deletes.count(), 1);
        tile->setProperty("hasDeleteAction", false);
        QVERIFY(!itemNamed(tile, "deleteBadge"));
    }
};

QUORLIN_TEST(MainScreenTest)
#include "MainScreenTest.moc"
