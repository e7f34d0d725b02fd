#pragma once

#include "AppItem.h"
#include "DropClock.h"
#include "EdgePager.h"
#include "FolderItem.h"
#include "GridItemType.h"
#include "GridPageListModel.h"
#include "WheelPager.h"

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

class AppSettings;
class FolderPanel;

// The launcher grid's state and rules behind PagedGridView.qml: the cells cut
// into pages, the page shown, the application being dragged and the folder
// that is open. QML draws it and calls back through the invokables below.
//
// For the main screen: `moveRequested(from, to)` carries positions in the list
// given to setApps(). While a search is in force that is the filtered list, not
// the catalogue; translate with mapMoveToCatalogue() (MoveTranslation.h) before
// moving anything in the catalogue.
//
// Drops are settled as the user lets go, but what they change (reorder, new
// folder, folder membership) is carried out only once the drag has ended
// (endDrag()). The drag runs in a nested event loop on the dragged tile, and
// these changes rebuild the grid, which may destroy that very tile.
class PagedGrid : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The main screen owns the grid")
    Q_PROPERTY(GridPageListModel* pages READ pages CONSTANT)
    Q_PROPERTY(int pageCount READ pageCount NOTIFY pageCountChanged)
    Q_PROPERTY(int itemCount READ itemCount NOTIFY itemCountChanged)
    Q_PROPERTY(int columns READ columns NOTIFY layoutChanged)
    Q_PROPERTY(int rows READ rows NOTIFY layoutChanged)
    // -1 stands for "no page chosen yet", shown as the first page.
    Q_PROPERTY(int currentPage READ currentPage WRITE setCurrentPage NOTIFY currentPageChanged)
    Q_PROPERTY(int shownPage READ shownPage NOTIFY currentPageChanged)
    Q_PROPERTY(bool isEditMode READ isEditMode WRITE setEditMode NOTIFY isEditModeChanged)
    Q_PROPERTY(QString draggedAppId READ draggedAppId NOTIFY draggedAppChanged)
    Q_PROPERTY(bool hasOpenFolder READ hasOpenFolder NOTIFY openFolderChanged)
    Q_PROPERTY(QString openFolderId READ openFolderId NOTIFY openFolderChanged)
    // The open folder's panel, null while no folder is open.
    Q_PROPERTY(FolderPanel* openFolderPanel READ openFolderPanel NOTIFY openFolderChanged)
    Q_PROPERTY(QString revealLabel READ revealLabel WRITE setRevealLabel NOTIFY revealLabelChanged)
    // How many pages on either side of the one shown the view keeps built: 0,
    // but during a drag as far as the page the dragged tile came from, since
    // the drag runs inside that tile and ends if it goes.
    Q_PROPERTY(int dragReach READ dragReach NOTIFY dragReachChanged)
    // Whether the view builds the pages either side of the one shown ahead of
    // a turn: once a page has been turned since the view came on screen, or
    // once it has been shown for lingerMs, and not while a search narrows the
    // grid, where every keystroke would rebind them as well as the page shown.
    // A launcher opened to type a name has been typed into by then and pays
    // for no page it does not show; one still looked at is about to be paged
    // through, and its first turn would otherwise build its page as it starts.
    Q_PROPERTY(bool keepsNeighbours READ keepsNeighbours NOTIFY keepsNeighboursChanged)
    // Whether the view is in a window on screen; the view binds it.
    Q_PROPERTY(bool isShown READ isShown WRITE setShown NOTIFY isShownChanged)
    // The cell the keyboard's focus ring is on, "" while there is none.
    Q_PROPERTY(QString focusedCellId READ focusedCellId NOTIFY focusChanged)

public:
    explicit PagedGrid(QObject* parent = nullptr);
    ~PagedGrid() override;

    void setApps(const AppList& apps);
    [[nodiscard]] const AppList& apps() const { return m_apps; }
    // Not owned. Folders come from here; a change of them recomposes the grid.
    void setSettings(AppSettings* settings);
    // Cells per page are columns × rows (7 × 5 on the main screen).
    void setLayout(int columns, int rows);
    void setClock(DropClock clock);

    [[nodiscard]] GridPageListModel* pages() const { return m_pages; }
    [[nodiscard]] GridPageModel* page(int index) const { return m_pages->page(index); }
    [[nodiscard]] const GridItemList& gridItems() const { return m_items; }
    [[nodiscard]] int pageCount() const { return m_pages->count(); }
    [[nodiscard]] int itemCount() const { return static_cast<int>(m_items.size()); }
    [[nodiscard]] int columns() const { return m_columns; }
    [[nodiscard]] int rows() const { return m_rows; }
    [[nodiscard]] int currentPage() const { return m_currentPage; }
    void setCurrentPage(int page);
    [[nodiscard]] int shownPage() const { return std::max(m_currentPage, 0); }
    [[nodiscard]] bool isEditMode() const { return m_isEditMode; }
    void setEditMode(bool editMode);
    [[nodiscard]] const std::optional<AppItem>& draggedApp() const { return m_draggedApp; }
    [[nodiscard]] QString draggedAppId() const;
    [[nodiscard]] const std::optional<FolderItem>& openFolder() const { return m_openFolder; }
    [[nodiscard]] bool hasOpenFolder() const { return m_openFolder.has_value(); }
    [[nodiscard]] QString openFolderId() const;
    [[nodiscard]] FolderPanel* openFolderPanel() const { return m_openFolderPanel; }
    [[nodiscard]] const QString& revealLabel() const { return m_revealLabel; }
    [[nodiscard]] QString focusedCellId() const;
    [[nodiscard]] int dragReach() const { return m_dragReach; }
    static constexpr int lingerMs = 1000;
    [[nodiscard]] bool keepsNeighbours() const {
        return (m_hasTurned || m_hasLingered) && !m_isSearching;
    }
    [[nodiscard]] bool isShown() const { return m_isShown; }
    void setShown(bool shown);
    void setSearching(bool searching);
    void setRevealLabel(const QString& label);

    // Prints "PagedGridView loaded with N pages, M items"; the view calls it
    // each time it comes on screen, not when its contents change.
    Q_INVOKABLE void announceLoaded() const;
    // The view's own state starts afresh each time the view comes on screen.
    Q_INVOKABLE void resetViewState();

    Q_INVOKABLE void launch(const QString& appId);
    // The application's desktop actions for its menu, each a map of "id" and
    // "name"; and the launch of one.
    Q_INVOKABLE QVariantList actionsOf(const QString& appId) const;
    Q_INVOKABLE void launchAction(const QString& appId, const QString& actionId);
    Q_INVOKABLE void requestDelete(const QString& appId);
    Q_INVOKABLE void hide(const QString& appId);
    Q_INVOKABLE void reveal(const QString& appId);
    // Opens the folder's panel over the grid; `startEditing` opens it with the
    // title being edited. The panel's launch, reveal and hide requests come out
    // of this grid's own signals; a launch also closes the panel.
    Q_INVOKABLE void openFolder(const QString& folderId, bool startEditing = false);
    Q_INVOKABLE void closeFolder();
    Q_INVOKABLE void deleteFolder(const QString& folderId);
    // A folder is renamed in its panel: open it with the name being edited.
    Q_INVOKABLE void renameFolder(const QString& folderId);

    // A key pressed over the grid, whatever control has the focus; whether the
    // grid took it. Up and Down bring the focus ring (and move it), Left,
    // Right, Home and End move it once it is there, Page Up and Page Down turn
    // pages; Return and Enter launch the ring's application or open its folder,
    // or, with no ring while `searching`, launch the first application shown.
    // Control and an arrow move the ring's application onto the cell the arrow
    // points at, as a drop there would, and the ring goes along. The Menu key
    // and Shift+F10 ask for the menu of the ring's cell. An open
    // folder's panel keeps the keys for itself. `key` may carry Control or Shift.
    bool navigate(int key, bool searching);
    // Takes the ring away, as each showing of the launcher starts without one.
    void clearFocus() { setFocusedIndex(-1); }

    // A wheel or touchpad scroll over the pages.
    Q_INVOKABLE void scrollPages(QPointF angleDelta);

    // Drag and drop. Cells are named by their cell id; every drop entry point
    // finds the page of the cell itself. Operations come back as Qt drop
    // actions (0 = refused, Qt::CopyAction, Qt::MoveAction).
    Q_INVOKABLE void beginDrag(const QString& appId);
    // The drag ended, with or without a drop: nothing stays dimmed or ringed,
    // and the changes a drop asked for are carried out.
    Q_INVOKABLE void endDrag();
    // Whether the cell takes the drag at all.
    Q_INVOKABLE bool dropEntered(const QString& cellId);
    Q_INVOKABLE int dropUpdated(const QString& cellId);
    Q_INVOKABLE void dropExited(const QString& cellId);
    Q_INVOKABLE bool dropPerformed(const QString& cellId);
    // The drag is at `x` over the grid's empty space, `width` wide, and over
    // the dot of page `dot` (-1: none); resting at a side or on a dot turns
    // the page (EdgePager). It left that space, for a tile or out of the grid.
    Q_INVOKABLE void dragHovered(qreal x, qreal width, int dot);
    Q_INVOKABLE void dragLeft();

Q_SIGNALS:
    void pageCountChanged();
    void itemCountChanged();
    void layoutChanged();
    void currentPageChanged();
    void isEditModeChanged();
    void draggedAppChanged();
    void openFolderChanged();
    void revealLabelChanged();
    void focusChanged();
    void dragReachChanged();
    void keepsNeighboursChanged();
    void isShownChanged();

    void launchRequested(const AppItem& app);
    void actionRequested(const AppItem& app, const QString& actionId);
    // The menu of the cell `cellId` (an application's or a folder's), asked from the keyboard.
    void menuRequested(const QString& cellId);
    void deleteRequested(const AppItem& app);
    void hideRequested(const AppItem& app);
    // Positions in the list given to setApps().
    void moveRequested(int from, int to);
    void revealRequested(const AppItem& app);

private:
    struct CellLocation {
        GridPageModel* page = nullptr;
        const GridItemType* item = nullptr;
    };

    void recompose();
    [[nodiscard]] std::optional<AppItem> appById(const QString& appId) const;
    [[nodiscard]] CellLocation locate(const QString& cellId) const;
    // The cell's place in the composed grid; -1 when it has none.
    [[nodiscard]] int indexOfCell(const QUuid& id) const;
    // Runs `change` on the dragged application and redraws the dimmed tile.
    void changeDragged(const std::function<void(std::optional<AppItem>&)>& change);
    void createFolderFor(const AppItem& dragged, const AppItem& target);
    void addToFolder(const QUuid& folderId, const AppItem& app);
    void runPendingDropActions();
    void clearAllHover();
    // Puts the ring on cell `index` (-1: none) and its page on screen.
    void setFocusedIndex(int index);
    bool moveFocusedApp(int key);
    void turnPageUnderDrag();
    void setDragReach(int reach);
    void setHasTurned(bool turned);
    // Sets one of the flags keepsNeighbours() reads, announcing what changes.
    void setNeighbourRule(bool& rule, bool value);

    GridPageListModel* m_pages;
    AppList m_apps;
    QPointer<AppSettings> m_settings;
    QMetaObject::Connection m_foldersConnection;
    GridItemList m_items;
    int m_columns = 7;
    int m_rows = 5;
    int m_currentPage = 0;
    bool m_isEditMode = false;
    std::optional<AppItem> m_draggedApp;
    std::optional<FolderItem> m_openFolder;
    FolderPanel* m_openFolderPanel = nullptr;
    QString m_revealLabel;
    int m_focusedIndex = -1;
    DropClock m_clock;
    WheelPager m_wheelPager;
    EdgePager m_edgePager;
    QTimer m_edgeTimer;
    int m_dragSourcePage = 0;
    int m_dragReach = 0;
    bool m_hasTurned = false;
    bool m_hasLingered = false;
    bool m_isShown = false;
    QTimer m_lingerTimer;
    bool m_isSearching = false;
    QList<std::function<void()>> m_pendingDropActions;
};
