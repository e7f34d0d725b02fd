#include "AppDiscovery.h"
#include "AppIconProvider.h"
#include "AppIconSource.h"
#include "AppSettings.h"
#include "DesktopBackground.h"
#include "DesktopBackgroundProvider.h"
#include "MainScreen.h"
#include "RecordingDefaultsStore.h"
#include "ShellFakes.h"
#include "StdoutCapture.h"

#include <QBuffer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest/QTest>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

QQuickItem* findItem(QQuickItem* item, const QString& name) {
    if (item == nullptr)
        return nullptr;
    if (item->objectName() == name)
        return item;
    const QList<QQuickItem*> children = item->childItems();
    for (QQuickItem* child : children) {
        if (QQuickItem* found = findItem(child, name))
            return found;
    }
    return nullptr;
}

void typeText(QWindow* window, const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

QPoint centreOf(const QQuickItem* item) {
    return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
}

// The main screen as the launcher shows it, over a catalogue of desktop entries.
struct Scene {
    explicit Scene(const EntryCatalogue& catalogue)
        : settings(store)
        , discovery(settings, catalogue.roots(), trash)
        , background(pictures, [this](const QString& line) { lines.append(line); })
        , screen(settings, discovery, launcher, revealer, background) {
        discovery.setLoadsIcons(false);
        view.engine()->addImportPath(QStringLiteral("qrc:/"));
        view.engine()->addImageProvider(QString(appIconProviderId), new AppIconProvider(discovery));
        view.engine()->addImageProvider(DesktopBackgroundProvider::providerId,
                                        background.createImageProvider());
        view.setResizeMode(QQuickView::SizeRootObjectToView);
        view.resize(1280, 800);
        view.setInitialProperties({{"mainScreen", QVariant::fromValue(&screen)}});
        view.setSource(QUrl(QStringLiteral("qrc:/Quorlin/shell/ContentView.qml")));
    }

    [[nodiscard]] bool show() {
        if (view.status() != QQuickView::Ready)
            return false;
        view.show();
        return QTest::qWaitForWindowActive(&view);
    }

    [[nodiscard]] QQuickItem* item(const QString& name) const {
        // Popups live in the window's overlay, beside the main screen.
        return findItem(view.contentItem(), name);
    }

    void appearAndScan() {
        QSignalSpy finished(&discovery, &AppDiscovery::scanFinished);
        screen.appear();
        QTRY_COMPARE(finished.count(), 1);
    }

    RecordingDefaultsStore store;
    RecordingTrash trash;
    RecordingLauncher launcher;
    RecordingRevealer revealer;
    FixedPictureSource pictures;
    QStringList lines;
    AppSettings settings;
    AppDiscovery discovery;
    DesktopBackground background;
    MainScreen screen;
    QQuickView view;
};

void addThree(EntryCatalogue& catalogue) {
    catalogue.add("org.example.notes", "Notes");
    catalogue.add("org.example.maps", "Maps");
    catalogue.add("org.example.mail", "Mail");
}

} // namespace

class ContentViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyCatalogue();
    void loadingThenGrid();
    void searchNarrowsToEmptyAndClears();
    void magnifierDoesNothing();
    void searchBarKeepsItsSize();
    void searchFieldTakesFocusWhenShown();
    void editButtonFlipsModeAndKeepsFocus();
    void deleteAlert_data();
    void deleteAlert();
    void backgroundShowsPictureOrGradient();
};

void ContentViewTest::emptyCatalogue() {
    EntryCatalogue catalogue;
    Scene scene(catalogue);
    QVERIFY(scene.show());

    QVERIFY(scene.item("emptyState")->isVisible());
    QVERIFY(!scene.item("loadingState")->isVisible());
    QCOMPARE(scene.item("emptyText")->property("text").toString(),
             QString("No applications found"));
    QVERIFY(scene.item("emptySymbol")
                ->property("source")
                .toUrl()
                .toString()
                .endsWith("app-dashed.svg"));

    scene.appearAndScan();
    QVERIFY(scene.item("emptyState")->isVisible());
    QVERIFY(!scene.item("gridState")->property("active").toBool());
}

void ContentViewTest::loadingThenGrid() {
    EntryCatalogue catalogue;
    addThree(catalogue);
    Scene scene(catalogue);
    QVERIFY(scene.show());
    StdoutCapture output;
    QSignalSpy finished(&scene.discovery, &AppDiscovery::scanFinished);

    scene.screen.appear();
    QVERIFY(scene.item("loadingState")->isVisible());
    QVERIFY(!scene.item("emptyState")->isVisible());
    QTRY_COMPARE(finished.count(), 1);

    QQuickItem* grid = scene.item("gridState");
    QVERIFY(grid->property("active").toBool());
    QVERIFY(grid->property("item").value<QQuickItem*>() != nullptr);
    QVERIFY(!scene.item("loadingState")->isVisible());
    QTRY_VERIFY(output.lines().contains("PagedGridView loaded with 1 pages, 3 items"));
}

void ContentViewTest::searchNarrowsToEmptyAndClears() {
    EntryCatalogue catalogue;
    addThree(catalogue);
    Scene scene(catalogue);
    QVERIFY(scene.show());
    scene.appearAndScan();
    QQuickItem* field = scene.item("searchField");
    QQuickItem* clear = scene.item("clearButton");
    QTRY_VERIFY(field->hasActiveFocus());
    QVERIFY(!clear->isVisible());

    typeText(&scene.view, "ma");
    QCOMPARE(scene.screen.searchText(), QString("ma"));
    QCOMPARE(scene.screen.filteredApps().size(), 2);
    QTRY_VERIFY(clear->isVisible());
    QTRY_COMPARE(clear->scale(), 1.0);

    typeText(&scene.view, "z'");
    QCOMPARE(scene.screen.contentState(), MainScreen::ContentState::Empty);
    QVERIFY(scene.item("emptyState")->isVisible());
    QCOMPARE(scene.item("emptyText")->property("text").toString(),
             QString("No results for 'maz''"));
    QVERIFY(scene.item("emptySymbol")
                ->property("source")
                .toUrl()
                .toString()
                .endsWith("magnifyingglass.svg"));

    QTest::mouseClick(&scene.view, Qt::LeftButton, Qt::NoModifier, centreOf(clear));
    QCOMPARE(scene.screen.searchText(), QString());
    QCOMPARE(field->property("text").toString(), QString());
    QCOMPARE(scene.screen.filteredApps().size(), 3);
    QVERIFY(scene.item("gridState")->property("active").toBool());
    QTRY_VERIFY(!clear->isVisible());
    // Typing goes on in the field after clearing.
    typeText(&scene.view, "n");
    QCOMPARE(scene.screen.searchText(), QString("n"));
}

void ContentViewTest::magnifierDoesNothing() {
    EntryCatalogue catalogue;
    addThree(catalogue);
    Scene scene(catalogue);
    QVERIFY(scene.show());
    scene.appearAndScan();
    scene.screen.setSearchText("no");

    QTest::mouseClick(&scene.view, Qt::LeftButton, Qt::NoModifier,
                      centreOf(scene.item("magnifier")));

    QCOMPARE(scene.screen.searchText(), QString("no"));
    QVERIFY(scene.item("clearButton")->isVisible());
}

void ContentViewTest::searchBarKeepsItsSize() {
    EntryCatalogue catalogue;
    Scene scene(catalogue);
    scene.view.resize(2560, 1000);
    QVERIFY(scene.show());
    QQuickItem* bar = scene.item("searchField")->parentItem()->parentItem();

    QCOMPARE(bar->size(), QSizeF(280, 32));
    QCOMPARE(bar->parentItem()->width(), 400.0);
}

void ContentViewTest::searchFieldTakesFocusWhenShown() {
    EntryCatalogue catalogue;
    Scene scene(catalogue);
    QVERIFY(scene.show());
    QQuickItem* field = scene.item("searchField");
    QTRY_VERIFY(field->hasActiveFocus());

    // Shown again after being hidden with the focus elsewhere.
    scene.view.rootObject()->forceActiveFocus();
    QVERIFY(!field->hasActiveFocus());
    scene.view.hide();
    scene.view.show();
    QTRY_VERIFY(field->hasActiveFocus());
}

void ContentViewTest::editButtonFlipsModeAndKeepsFocus() {
    EntryCatalogue catalogue;
    addThree(catalogue);
    Scene scene(catalogue);
    QVERIFY(scene.show());
    scene.appearAndScan();
    QQuickItem* label = scene.item("editButtonLabel");
    QQuickItem* field = scene.item("searchField");
    QTRY_VERIFY(field->hasActiveFocus());
    QCOMPARE(label->property("text").toString(), QString("Edit"));

    QTest::mouseClick(&scene.view, Qt::LeftButton, Qt::NoModifier, centreOf(label));
    QVERIFY(scene.screen.isEditMode());
    QCOMPARE(label->property("text").toString(), QString("Done"));
    QVERIFY(field->hasActiveFocus());

    QTest::mouseClick(&scene.view, Qt::LeftButton, Qt::NoModifier, centreOf(label));
    QVERIFY(!scene.screen.isEditMode());
    QCOMPARE(label->property("text").toString(), QString("Edit"));
}

void ContentViewTest::deleteAlert_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("deleted");

    QTest::addRow("Cancel") << "cancelButton" << false;
    QTest::addRow("Escape") << "escape" << false;
    QTest::addRow("Delete") << "deleteButton" << true;
}

void ContentViewTest::deleteAlert() {
    QFETCH(QString, answer);
    QFETCH(bool, deleted);
    EntryCatalogue catalogue;
    addThree(catalogue);
    Scene scene(catalogue);
    QVERIFY(scene.show());
    scene.appearAndScan();
    QQuickItem* field = scene.item("searchField");
    QTRY_VERIFY(field->hasActiveFocus());
    const AppItem maps = scene.discovery.applications().at(1);
    QCOMPARE(maps.name, QString("Maps"));

    scene.screen.requestDelete(maps);

    QQuickItem* title = scene.item("deleteTitle");
    QVERIFY(title != nullptr);
    QTRY_VERIFY(title->isVisible());
    QCOMPARE(title->property("text").toString(), QString("Delete Application"));
    QCOMPARE(
        scene.item("deleteMessage")->property("text").toString(),
        QString("Are you sure you want to move Maps to the Trash? This action cannot be undone."));
    // Cancel stands before Delete.
    QQuickItem* cancel = scene.item("cancelButton");
    QQuickItem* remove = scene.item("deleteButton");
    QVERIFY(cancel->mapToScene({}).x() < remove->mapToScene({}).x());

    if (answer == "escape")
        QTest::keyClick(&scene.view, Qt::Key_Escape);
    else
        QTest::mouseClick(&scene.view, Qt::LeftButton, Qt::NoModifier,
                          centreOf(scene.item(answer)));

    QTRY_VERIFY(!title->isVisible());
    QVERIFY(!scene.screen.showDeleteConfirmation());
    QCOMPARE(scene.trash.requests, deleted ? QStringList{maps.path} : QStringList{});
    // The keyboard is back in the search field.
    QTRY_VERIFY(field->hasActiveFocus());
}

void ContentViewTest::backgroundShowsPictureOrGradient() {
    EntryCatalogue catalogue;
    Scene scene(catalogue);
    QVERIFY(scene.show());
    QVERIFY(scene.item("fallbackGradient")->isVisible());
    QVERIFY(!scene.item("desktopPicture")->isVisible());
    QVERIFY(!scene.item("dimming")->isVisible());

    QTemporaryDir dir;
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(dir.filePath("green.png")));
    scene.pictures.setUrl(QUrl::fromLocalFile(dir.filePath("green.png")));
    QSignalSpy loaded(&scene.background, &DesktopBackground::loadFinished);
    scene.background.load();
    QTRY_COMPARE(loaded.count(), 1);

    QQuickItem* image = scene.item("desktopPicture");
    QVERIFY(image->isVisible());
    QTRY_COMPARE(image->property("status").toInt(), 1); // Image.Ready
    QVERIFY(scene.item("dimming")->isVisible());
    const QColor dimming = scene.item("dimming")->property("color").value<QColor>();
    QCOMPARE(dimming.rgb(), QColor(Qt::black).rgb());
    QVERIFY(qAbs(dimming.alphaF() - 0.3) < 0.01);
    QVERIFY(!scene.item("fallbackGradient")->isVisible());
}

QTEST_MAIN(ContentViewTest)
#include "tst_contentview.moc"
