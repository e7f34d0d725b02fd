#include "AppListModel.h"
#include "AppSettings.h"
#include "FolderPanel.h"
#include "QmlTestView.h"
#include "RecordingDefaultsStore.h"
#include "UuidText.h"

#include <QDir>
#include <QPainter>
#include <QQuickImageProvider>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>

#include <memory>

Q_IMPORT_QML_PLUGIN(QuorlinPlugin)

namespace {

// Icons of flat colours, one per application, so screenshots tell tiles apart.
class ColourIconProvider : public QQuickImageProvider {
public:
    ColourIconProvider()
        : QQuickImageProvider(QQuickImageProvider::Image) {}

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override {
        const QSize side = requestedSize.isValid() ? requestedSize : QSize(128, 128);
        QImage image(side, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor::fromHsv(int(qHash(id) % 360), 160, 230));
        QPainter painter(&image);
        painter.fillRect(QRect(QPoint(0, 0), side / 2), QColor(255, 255, 255, 90));
        if (size)
            *size = side;
        return image;
    }
};

AppItem makeApp(const QString& name) {
    return AppItem{QUuid::createUuid(), name, name.toLower().remove(QLatin1Char(' ')),
                   QStringLiteral("/apps/%1.app").arg(name), QImage()};
}

const QByteArray sceneQml = R"(
import QtQuick
import Quorlin
Item {
    id: scene
    required property FolderPanel panel
    property alias view: view
    width: 1200; height: 900
    FolderContentView {
        id: view
        anchors.fill: parent
        panel: scene.panel
    }
}
)";

void saveScreenshot(QQuickView& view, const QString& name) {
    const QString folder = qEnvironmentVariable("QUORLIN_ARTIFACTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    view.grabWindow().save(QDir(folder).filePath(name));
}

} // namespace

class TestFolderContentView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void longTitleStopsBeforeTheButtons();
    void renameThenCloseStoresTheName_data();
    void renameThenCloseStoresTheName();
    void emptyNameFallsBackToTheStoredName();
    void pickerAddsTheChosenApplication();
    void pickerSearchNarrowsTheList();
    void plusButtonTogglesThePicker();
    void clickOnATileLaunches();
    void tileMenu();
    void removingEveryMemberClosesThePanel();

private:
    bool open(const QStringList& members, bool startEditing = false);
    [[nodiscard]] QQuickItem* named(const QString& name) const {
        return itemNamed(m_view->view().contentItem(), name);
    }
    [[nodiscard]] QList<QQuickItem*> allNamed(const QString& name) const {
        return itemsNamed(m_view->view().contentItem(), name);
    }
    [[nodiscard]] QString idOf(const QString& name) const;
    [[nodiscard]] QQuickItem* cellNamed(const QString& name) const;
    void typeText(const QString& text);

    std::unique_ptr<RecordingDefaultsStore> m_store;
    std::unique_ptr<AppSettings> m_settings;
    AppList m_apps;
    FolderItem m_folder;
    std::unique_ptr<FolderPanel> m_panel;
    std::unique_ptr<QmlTestView> m_view;
    QQuickItem* m_contentView = nullptr;
};

void TestFolderContentView::init() {
    // A QML binding error is a fault of the view even when the flow still works.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    m_store = std::make_unique<RecordingDefaultsStore>();
    m_settings = std::make_unique<AppSettings>(*m_store);
    m_apps.clear();
    for (const char* name : {"Calculator", "Calendar", "Chess", "Mail", "Maps", "Notes",
                             "Photo Booth", "Preview", "Safari", "Terminal"})
        m_apps.append(makeApp(QString::fromLatin1(name)));
}

void TestFolderContentView::cleanup() {
    m_view.reset();
    m_panel.reset();
    m_settings.reset();
    m_store.reset();
}

bool TestFolderContentView::open(const QStringList& members, bool startEditing) {
    m_folder = m_settings->createFolder(QStringLiteral("Work"), members);
    m_panel = std::make_unique<FolderPanel>(*m_settings, m_folder, m_apps, startEditing);
    m_view = std::make_unique<QmlTestView>(QSize(1200, 900));
    m_view->engine().addImageProvider(QStringLiteral("appicon"), new ColourIconProvider);
    QQuickItem* scene =
        m_view->load(sceneQml, {{QStringLiteral("panel"), QVariant::fromValue(m_panel.get())}});
    if (!scene)
        return false;
    m_contentView = scene->property("view").value<QQuickItem*>();
    m_view->view().requestActivate();
    return QTest::qWaitForWindowActive(&m_view->view());
}

QString TestFolderContentView::idOf(const QString& name) const {
    for (const AppItem& app : m_apps) {
        if (app.name == name)
            return uuidText(app.id);
    }
    return {};
}

QQuickItem* TestFolderContentView::cellNamed(const QString& name) const {
    const QList<QQuickItem*> cells = allNamed(QStringLiteral("folderAppCell"));
    for (QQuickItem* cell : cells) {
        if (cell->property("name").toString() == name)
            return cell;
    }
    return nullptr;
}

void TestFolderContentView::typeText(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(&m_view->view(), c.toLatin1());
}

void TestFolderContentView::layout_data() {
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<int>("cells");

    QTest::addRow("no resolvable member: header and an empty area") << QStringList{"gone"} << 0;
    QTest::addRow("one row") << QStringList{"mail", "maps", "notes"} << 3;
    QTest::addRow("two rows") << QStringList{"mail", "maps", "notes", "chess", "safari", "preview"}
                              << 6;
    QTest::addRow("two full rows")
        << QStringList{"calculator", "calendar",   "chess",   "mail",   "maps",
                       "notes",      "photobooth", "preview", "safari", "terminal"}
        << 10;
}

void TestFolderContentView::layout() {
    QFETCH(QStringList, members);
    QFETCH(int, cells);

    QVERIFY(open(members));
    QQuickItem* card = named(QStringLiteral("folderCard"));
    QQuickItem* grid = named(QStringLiteral("folderAppGrid"));
    QQuickItem* title = named(QStringLiteral("folderTitle"));
    QVERIFY(card && grid && title);

    QCOMPARE(card->width(), 700.0);
    QCOMPARE(title->property("text").toString(), QStringLiteral("Work"));
    QTRY_COMPARE(allNamed(QStringLiteral("folderAppCell")).size(), cells);
    QCOMPARE(grid->height(), 500.0);
    const qreal gridHeight = 500;
    // 40 above, the header, 30, the grid, 40 below; centred on the window.
    const qreal header = named(QStringLiteral("folderAddButton"))->parentItem()->height();
    QCOMPARE(card->height(), 40 + header + 30 + gridHeight + 40);
    QCOMPARE(card->mapToScene(QPointF(350, card->height() / 2)), QPointF(600, 450));

    if (cells >= 2) {
        // Columns 128 apart, the first centred 94 from the panel's left edge.
        const QQuickItem* first = cellNamed(m_panel->folderAppsModel()->apps().at(0).name);
        const QQuickItem* second = cellNamed(m_panel->folderAppsModel()->apps().at(1).name);
        const QPointF a = first->mapToItem(card, QPointF(first->width() / 2, 0));
        const QPointF b = second->mapToItem(card, QPointF(second->width() / 2, 0));
        QCOMPARE(a.x(), 94.0);
        QCOMPARE(b.x() - a.x(), 128.0);
    }
    saveScreenshot(m_view->view(), QStringLiteral("folder-panel-%1.png").arg(cells));
}

void TestFolderContentView::longTitleStopsBeforeTheButtons() {
    QVERIFY(open({"mail"}));
    m_settings->renameFolder(m_folder.id, QString(80, QLatin1Char('W')));
    QQuickItem* title = named(QStringLiteral("folderTitle"));
    QQuickItem* plus = named(QStringLiteral("folderAddButton"));
    QTRY_VERIFY(title->property("truncated").toBool());
    QVERIFY(title->mapToScene(QPointF(title->width(), 0)).x() <= plus->mapToScene(QPointF()).x());

    m_view->click(title);
    QQuickItem* field = named(QStringLiteral("folderTitleField"));
    QCOMPARE(field->width(), 300.0);
}

void TestFolderContentView::renameThenCloseStoresTheName_data() {
    QTest::addColumn<QString>("closeBy");

    QTest::addRow("backdrop") << QStringLiteral("folderBackdrop");
    QTest::addRow("close button") << QStringLiteral("folderCloseButton");
}

void TestFolderContentView::renameThenCloseStoresTheName() {
    QFETCH(QString, closeBy);

    QVERIFY(open({"mail", "notes"}));
    QSignalSpy closing(m_panel.get(), &FolderPanel::closeRequested);

    m_view->click(named(QStringLiteral("folderTitle")));
    QVERIFY(m_panel->isEditing());
    QQuickItem* field = named(QStringLiteral("folderTitleField"));
    QVERIFY(field->isVisible());
    QTRY_VERIFY(field->hasActiveFocus());
    QTest::keySequence(&m_view->view(), QKeySequence::SelectAll);
    typeText(QStringLiteral("Games"));
    QCOMPARE(m_panel->folderName(), QStringLiteral("Games"));
    saveScreenshot(m_view->view(), QStringLiteral("folder-panel-editing.png"));
    // Typing alone stores nothing.
    QCOMPARE(m_settings->folder(m_folder.id)->name, QStringLiteral("Work"));

    if (closeBy == QLatin1String("folderBackdrop"))
        QTest::mouseClick(&m_view->view(), Qt::LeftButton, {}, QPoint(30, 30));
    else
        m_view->click(named(closeBy));
    QCOMPARE(closing.size(), 1);
    QCOMPARE(m_settings->folder(m_folder.id)->name, QStringLiteral("Games"));
}

void TestFolderContentView::emptyNameFallsBackToTheStoredName() {
    QVERIFY(open({"mail"}, true));
    QQuickItem* field = named(QStringLiteral("folderTitleField"));
    QTRY_VERIFY(field->hasActiveFocus());
    QTest::keySequence(&m_view->view(), QKeySequence::SelectAll);
    QTest::keyClick(&m_view->view(), Qt::Key_Backspace);
    QCOMPARE(m_panel->folderName(), QString());
    QTest::keyClick(&m_view->view(), Qt::Key_Return);

    QVERIFY(!m_panel->isEditing());
    QQuickItem* title = named(QStringLiteral("folderTitle"));
    QVERIFY(title->isVisible());
    QCOMPARE(title->property("text").toString(), QStringLiteral("Work"));
    QCOMPARE(m_store->writeCount(AppSettings::foldersKey), 1);

    // A click on the panel (not the backdrop) does not close it.
    QSignalSpy closing(m_panel.get(), &FolderPanel::closeRequested);
    QQuickItem* card = named(QStringLiteral("folderCard"));
    QTest::mouseClick(&m_view->view(), Qt::LeftButton, {},
                      card->mapToScene(QPointF(350, card->height() - 10)).toPoint());
    QCOMPARE(closing.size(), 0);
}

void TestFolderContentView::pickerAddsTheChosenApplication() {
    QVERIFY(open({"mail", "notes"}));
    m_settings->createFolder(QStringLiteral("Other"), {"safari"});

    m_view->click(named(QStringLiteral("folderAddButton")));
    QVERIFY(m_panel->showingAppPicker());
    QObject* picker = m_contentView->property("picker").value<QObject*>();
    QTRY_VERIFY(picker->property("opened").toBool());
    QQuickItem* list = named(QStringLiteral("pickerList"));
    QVERIFY(list);
    QCOMPARE(list->width(), 300.0);
    QCOMPARE(list->height(), 400.0);
    // Everything but this folder's and the other folder's members, in order.
    QTRY_COMPARE(allNamed(QStringLiteral("pickerRow")).size(), 7);
    saveScreenshot(m_view->view(), QStringLiteral("folder-picker.png"));

    QQuickItem* chessRow = nullptr;
    for (QQuickItem* row : allNamed(QStringLiteral("pickerRow"))) {
        if (row->property("name").toString() == QLatin1String("Chess"))
            chessRow = row;
    }
    QVERIFY(chessRow);
    QCOMPARE(chessRow->height(), 8 + 32 + 8 + 1.0);
    m_view->click(chessRow);

    QCOMPARE(m_settings->folder(m_folder.id)->appBundleIds,
             (QStringList{"mail", "notes", "chess"}));
    QVERIFY(!m_panel->showingAppPicker());
    QTRY_VERIFY(!picker->property("visible").toBool());
    QTRY_VERIFY(cellNamed(QStringLiteral("Chess")));

    // Opened again: fresh search, and Chess is no longer offered.
    m_view->click(named(QStringLiteral("folderAddButton")));
    QTRY_VERIFY(picker->property("opened").toBool());
    QTRY_COMPARE(allNamed(QStringLiteral("pickerRow")).size(), 6);
    for (QQuickItem* row : allNamed(QStringLiteral("pickerRow")))
        QVERIFY(row->property("name").toString() != QLatin1String("Chess"));
}

void TestFolderContentView::pickerSearchNarrowsTheList() {
    QVERIFY(open({"mail"}));
    m_view->click(named(QStringLiteral("folderAddButton")));
    QObject* picker = m_contentView->property("picker").value<QObject*>();
    QTRY_VERIFY(picker->property("opened").toBool());
    QQuickItem* field = named(QStringLiteral("pickerSearchField"));
    QVERIFY(field);
    QCOMPARE(field->property("placeholderText").toString(), QStringLiteral("Search apps..."));
    QTRY_VERIFY(field->hasActiveFocus());

    typeText(QStringLiteral("CAL"));
    QCOMPARE(m_panel->pickerSearchText(), QStringLiteral("CAL"));
    QTRY_COMPARE(allNamed(QStringLiteral("pickerRow")).size(), 2);
    typeText(QStringLiteral("zz"));
    QTRY_COMPARE(allNamed(QStringLiteral("pickerRow")).size(), 0);
    // Nothing matches: the field, the divider and the empty 300 x 400 list stay.
    QCOMPARE(named(QStringLiteral("pickerList"))->height(), 400.0);
    QVERIFY(field->isVisible());
    saveScreenshot(m_view->view(), QStringLiteral("folder-picker-no-match.png"));

    // Return does nothing beyond the search text.
    QTest::keyClick(&m_view->view(), Qt::Key_Return);
    QVERIFY(m_panel->showingAppPicker());
    QCOMPARE(m_settings->folder(m_folder.id)->appBundleIds, QStringList{"mail"});
}

void TestFolderContentView::plusButtonTogglesThePicker() {
    QVERIFY(open({"mail"}));
    QObject* picker = m_contentView->property("picker").value<QObject*>();
    QQuickItem* plus = named(QStringLiteral("folderAddButton"));

    m_view->click(plus);
    QTRY_VERIFY(picker->property("opened").toBool());
    m_view->click(plus);
    QVERIFY(!m_panel->showingAppPicker());
    QTRY_VERIFY(!picker->property("visible").toBool());

    // A click elsewhere dismisses it and the panel hears of it.
    m_view->click(plus);
    QTRY_VERIFY(picker->property("opened").toBool());
    QQuickItem* card = named(QStringLiteral("folderCard"));
    QTest::mouseClick(&m_view->view(), Qt::LeftButton, {},
                      card->mapToScene(QPointF(350, card->height() - 10)).toPoint());
    QTRY_VERIFY(!picker->property("visible").toBool());
    QVERIFY(!m_panel->showingAppPicker());
}

void TestFolderContentView::clickOnATileLaunches() {
    QVERIFY(open({"mail", "notes"}));
    QSignalSpy launched(m_panel.get(), &FolderPanel::launchRequested);
    QTRY_VERIFY(cellNamed(QStringLiteral("Notes")));
    m_view->click(cellNamed(QStringLiteral("Notes")));
    QCOMPARE(launched.size(), 1);
    QCOMPARE(launched.first().first().value<AppItem>().name, QStringLiteral("Notes"));
}

void TestFolderContentView::tileMenu() {
    QVERIFY(open({"mail", "notes", "maps"}));
    m_panel->setRevealLabel(QStringLiteral("Show in Files"));
    QSignalSpy revealed(m_panel.get(), &FolderPanel::revealRequested);
    QSignalSpy hidden(m_panel.get(), &FolderPanel::hideRequested);
    QSignalSpy launched(m_panel.get(), &FolderPanel::launchRequested);
    QObject* menu = m_contentView->property("tileMenu").value<QObject*>();

    const auto choose = [&](const QString& app, int entry) {
        QQuickItem* cell = cellNamed(app);
        QVERIFY(cell);
        m_view->click(cell, Qt::RightButton);
        QTRY_VERIFY(menu->property("opened").toBool());
        QQuickItem* item = nullptr;
        QVERIFY(QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, item),
                                          Q_ARG(int, entry)));
        m_view->click(item);
        QTRY_VERIFY(!menu->property("visible").toBool());
    };

    QTRY_VERIFY(cellNamed(QStringLiteral("Maps")));
    m_view->click(cellNamed(QStringLiteral("Maps")), Qt::RightButton);
    QTRY_VERIFY(menu->property("opened").toBool());
    QCOMPARE(menu->property("count").toInt(), 4);
    QStringList texts;
    for (int i = 0; i < 4; ++i) {
        QQuickItem* item = nullptr;
        QVERIFY(QMetaObject::invokeMethod(menu, "itemAt", Q_RETURN_ARG(QQuickItem*, item),
                                          Q_ARG(int, i)));
        texts.append(item->property("text").toString());
    }
    QCOMPARE(texts, (QStringList{"Remove from Folder", "Hide App", "", "Show in Files"}));
    saveScreenshot(m_view->view(), QStringLiteral("folder-panel-menu.png"));
    QTest::keyClick(&m_view->view(), Qt::Key_Escape);
    QTRY_VERIFY(!menu->property("visible").toBool());

    choose(QStringLiteral("Maps"), 3);
    QCOMPARE(revealed.size(), 1);
    QCOMPARE(revealed.first().first().value<AppItem>().name, QStringLiteral("Maps"));

    choose(QStringLiteral("Notes"), 1);
    QCOMPARE(hidden.size(), 1);
    QVERIFY(m_settings->hiddenApps().contains(QStringLiteral("notes")));

    choose(QStringLiteral("Mail"), 0);
    QCOMPARE(m_settings->folder(m_folder.id)->appBundleIds, (QStringList{"notes", "maps"}));
    QTRY_VERIFY(!cellNamed(QStringLiteral("Mail")));
    QCOMPARE(launched.size(), 0);
}

void TestFolderContentView::removingEveryMemberClosesThePanel() {
    QVERIFY(open({"mail", "notes"}));
    QSignalSpy closing(m_panel.get(), &FolderPanel::closeRequested);
    m_panel->removeApp(idOf(QStringLiteral("Mail")));
    QTRY_COMPARE(allNamed(QStringLiteral("folderAppCell")).size(), 1);
    QCOMPARE(closing.size(), 0);
    m_panel->removeApp(idOf(QStringLiteral("Notes")));
    QCOMPARE(closing.size(), 1);
    QVERIFY(m_settings->folders().isEmpty());
}

QTEST_MAIN(TestFolderContentView)
#include "tst_foldercontentview.moc"
