#include "PagedGrid.h"

#include "AppDropDelegate.h"
#include "AppDropToFolderDelegate.h"
#include "AppIconSource.h"
#include "AppSettings.h"
#include "FileRevealer.h"
#include "FolderContents.h"
#include "FolderDropDelegate.h"
#include "FolderNameSuggestion.h"
#include "FolderPanel.h"
#include "GridComposition.h"
#include "GridFocus.h"
#include "MoveTranslation.h"
#include "UuidText.h"

#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>

namespace {

// The applications that folder previews can show: for each identifier among
// the first members of some folder, the first application in `apps` that has
// it. previewApps() resolves against this short list as it would against the
// whole one, so a keystroke's pass over the catalogue is this one, however
// many folders there are and however many of their members the search hides.
AppList previewCandidates(const FolderList& folders, const AppList& apps) {
    QSet<QString> wanted;
    for (const FolderItem& folder : folders) {
        const qsizetype shown = std::min(folder.appBundleIds.size(), folderPreviewLimit);
        for (const QString& identifier : folder.appBundleIds.first(shown))
            wanted.insert(identifier);
    }
    AppList candidates;
    for (auto app = apps.cbegin(); app != apps.cend() && !wanted.isEmpty(); ++app) {
        if (wanted.remove(app->bundleIdentifier))
            candidates.append(*app);
    }
    return candidates;
}

int toDropAction(DropOperation operation) {
    switch (operation) {
    case DropOperation::Copy:
        return Qt::CopyAction;
    case DropOperation::Move:
        return Qt::MoveAction;
    case DropOperation::Forbidden:
        break;
    }
    return Qt::IgnoreAction;
}

} // namespace

PagedGrid::PagedGrid(QObject* parent)
    : QObject(parent)
    , m_pages(new GridPageListModel(this))
    , m_revealLabel(revealLabelFor(QString()))
    , m_clock(monotonicDropClock())
    , m_edgePager([this] { return m_clock(); }) {
    // Often enough that a turn comes within a frame or so of its time.
    m_edgeTimer.setInterval(40);
    connect(&m_edgeTimer, &QTimer::timeout, this, &PagedGrid::turnPageUnderDrag);
    m_lingerTimer.setSingleShot(true);
    m_lingerTimer.setInterval(lingerMs);
    connect(&m_lingerTimer, &QTimer::timeout, this,
            [this] { setNeighbourRule(m_hasLingered, true); });
}

PagedGrid::~PagedGrid() = default;

void PagedGrid::setApps(const AppList& apps) {
    m_apps = apps;
    recompose();
    if (m_openFolderPanel)
        m_openFolderPanel->setApps(m_apps);
}

void PagedGrid::setSettings(AppSettings* settings) {
    if (m_settings == settings)
        return;
    QObject::disconnect(m_foldersConnection);
    m_settings = settings;
    if (settings) {
        m_foldersConnection =
            connect(settings, &AppSettings::foldersChanged, this, &PagedGrid::recompose);
    }
    recompose();
}

void PagedGrid::setLayout(int columns, int rows) {
    columns = std::max(columns, 1);
    rows = std::max(rows, 1);
    if (columns == m_columns && rows == m_rows)
        return;
    m_columns = columns;
    m_rows = rows;
    Q_EMIT layoutChanged();
    recompose();
}

void PagedGrid::setClock(DropClock clock) {
    m_clock = std::move(clock);
}

void PagedGrid::recompose() {
    // The ring marks a place in the grid as it was; a new grid has none.
    setFocusedIndex(-1);
    const int oldItemCount = itemCount();
    const int oldPageCount = pageCount();
    if (m_settings) {
        m_items = composeGridItems(m_apps, *m_settings);
    } else {
        m_items.clear();
        for (const AppItem& app : std::as_const(m_apps))
            m_items.append(GridItemType(app));
    }

    const int pageSize = m_columns * m_rows;
    const int count = ::pageCount(m_items.size(), pageSize);
    m_pages->resize(count);
    const QUuid draggedId = m_draggedApp ? m_draggedApp->id : QUuid();
    const AppList previewable =
        m_settings ? previewCandidates(m_settings->folders(), m_apps) : AppList();
    for (int i = 0; i < count; ++i) {
        // The lists are shared, not copied, until a page makes its cells.
        const qsizetype start = qsizetype(i) * pageSize;
        const qsizetype end = std::min(start + pageSize, m_items.size());
        GridPageModel* page = m_pages->page(i);
        page->deferCells([items = m_items, previewable, start, end] {
            QList<GridPageModel::Cell> cells;
            cells.reserve(end - start);
            for (qsizetype at = start; at < end; ++at) {
                const GridItemType& item = items.at(at);
                QStringList previewIcons;
                if (const FolderItem* folder = item.folder()) {
                    for (const AppItem& app : previewApps(*folder, previewable))
                        previewIcons.append(appIconSource(app));
                }
                cells.append({item, previewIcons});
            }
            return cells;
        });
        page->setDraggedAppId(draggedId);
    }

    // A page that no longer exists would show nothing and light no dot; keep
    // the user on the last page that does.
    if (count > 0 && m_currentPage >= count)
        setCurrentPage(count - 1);
    if (oldItemCount != itemCount())
        Q_EMIT itemCountChanged();
    if (oldPageCount != count)
        Q_EMIT pageCountChanged();
}

void PagedGrid::setCurrentPage(int page) {
    page = std::max(page, -1);
    if (page == m_currentPage)
        return;
    m_currentPage = page;
    Q_EMIT currentPageChanged();
    setHasTurned(true);
}

void PagedGrid::setEditMode(bool editMode) {
    if (editMode == m_isEditMode)
        return;
    m_isEditMode = editMode;
    Q_EMIT isEditModeChanged();
}

QString PagedGrid::draggedAppId() const {
    return m_draggedApp ? uuidText(m_draggedApp->id) : QString();
}

QString PagedGrid::openFolderId() const {
    return m_openFolder ? uuidText(m_openFolder->id) : QString();
}

void PagedGrid::setRevealLabel(const QString& label) {
    if (label == m_revealLabel)
        return;
    m_revealLabel = label;
    if (m_openFolderPanel)
        m_openFolderPanel->setRevealLabel(label);
    Q_EMIT revealLabelChanged();
}

void PagedGrid::announceLoaded() const {
    QTextStream out(stdout);
    out << "PagedGridView loaded with " << pageCount() << " pages, " << itemCount() << " items"
        << Qt::endl;
}

void PagedGrid::resetViewState() {
    setFocusedIndex(-1);
    setCurrentPage(0);
    setHasTurned(false);
    setNeighbourRule(m_hasLingered, false);
    if (m_isShown)
        m_lingerTimer.start();
    changeDragged([](std::optional<AppItem>& dragged) { dragged.reset(); });
    clearAllHover();
    dragLeft();
    setDragReach(0);
    closeFolder();
}

std::optional<AppItem> PagedGrid::appById(const QString& appId) const {
    const std::optional<QUuid> id = parseUuidText(appId);
    if (!id)
        return std::nullopt;
    const std::optional<int> index = indexOfApp(m_apps, *id);
    if (!index)
        return std::nullopt;
    return m_apps.at(*index);
}

void PagedGrid::launch(const QString& appId) {
    if (const std::optional<AppItem> app = appById(appId))
        Q_EMIT launchRequested(*app);
}

QVariantList PagedGrid::actionsOf(const QString& appId) const {
    QVariantList actions;
    if (const std::optional<AppItem> app = appById(appId)) {
        for (const DesktopAction& action : app->actions)
            actions.append(QVariantMap{{QStringLiteral("id"), action.id},
                                       {QStringLiteral("name"), action.name},
                                       {QStringLiteral("icon"), actionIconSource(*app, action)}});
    }
    return actions;
}

void PagedGrid::launchAction(const QString& appId, const QString& actionId) {
    if (const std::optional<AppItem> app = appById(appId))
        Q_EMIT actionRequested(*app, actionId);
}

void PagedGrid::requestDelete(const QString& appId) {
    if (const std::optional<AppItem> app = appById(appId))
        Q_EMIT deleteRequested(*app);
}

void PagedGrid::hide(const QString& appId) {
    if (const std::optional<AppItem> app = appById(appId))
        Q_EMIT hideRequested(*app);
}

void PagedGrid::reveal(const QString& appId) {
    if (const std::optional<AppItem> app = appById(appId))
        Q_EMIT revealRequested(*app);
}

void PagedGrid::openFolder(const QString& folderId, bool startEditing) {
    const std::optional<QUuid> id = parseUuidText(folderId);
    if (!id || !m_settings)
        return;
    std::optional<FolderItem> folder = m_settings->folder(*id);
    if (!folder)
        return;
    if (m_openFolderPanel)
        m_openFolderPanel->deleteLater();
    m_openFolder = std::move(folder);
    auto* panel = new FolderPanel(*m_settings, *m_openFolder, m_apps, startEditing, this);
    panel->setRevealLabel(m_revealLabel);
    connect(panel, &FolderPanel::closeRequested, this, &PagedGrid::closeFolder);
    connect(panel, &FolderPanel::launchRequested, this, [this](const AppItem& app) {
        Q_EMIT launchRequested(app);
        closeFolder();
    });
    connect(panel, &FolderPanel::revealRequested, this, &PagedGrid::revealRequested);
    connect(panel, &FolderPanel::hideRequested, this, &PagedGrid::hideRequested);
    m_openFolderPanel = panel;
    Q_EMIT openFolderChanged();
}

void PagedGrid::closeFolder() {
    if (!m_openFolder)
        return;
    m_openFolder.reset();
    // The panel's view may be in the middle of the click that closed it.
    m_openFolderPanel->disconnect(this);
    m_openFolderPanel->deleteLater();
    m_openFolderPanel = nullptr;
    Q_EMIT openFolderChanged();
}

void PagedGrid::deleteFolder(const QString& folderId) {
    const std::optional<QUuid> id = parseUuidText(folderId);
    if (id && m_settings)
        m_settings->deleteFolder(*id);
}

void PagedGrid::renameFolder(const QString& folderId) {
    openFolder(folderId, true);
}

void PagedGrid::scrollPages(QPointF angleDelta) {
    const int step = m_wheelPager.feed(angleDelta, m_clock());
    if (step == 0 || pageCount() == 0)
        return;
    setCurrentPage(std::clamp(shownPage() + step, 0, pageCount() - 1));
}

void PagedGrid::changeDragged(const std::function<void(std::optional<AppItem>&)>& change) {
    const QUuid before = m_draggedApp ? m_draggedApp->id : QUuid();
    change(m_draggedApp);
    const QUuid after = m_draggedApp ? m_draggedApp->id : QUuid();
    if (before == after)
        return;
    for (GridPageModel* page : m_pages->pages())
        page->setDraggedAppId(after);
    Q_EMIT draggedAppChanged();
}

void PagedGrid::clearAllHover() {
    for (GridPageModel* page : m_pages->pages())
        page->clearHover();
}

void PagedGrid::beginDrag(const QString& appId) {
    const std::optional<AppItem> app = appById(appId);
    if (!app)
        return;
    if (!m_pendingDropActions.isEmpty())
        QMetaObject::invokeMethod(this, &PagedGrid::runPendingDropActions, Qt::QueuedConnection);
    clearAllHover();
    m_dragSourcePage = shownPage();
    changeDragged([&app](std::optional<AppItem>& dragged) { dragged = app; });
}

void PagedGrid::endDrag() {
    changeDragged([](std::optional<AppItem>& dragged) { dragged.reset(); });
    clearAllHover();
    dragLeft();
    // Not at once: the dragged tile is still running the end of its drag.
    QMetaObject::invokeMethod(
        this, [this] { setDragReach(m_draggedApp ? m_dragReach : 0); }, Qt::QueuedConnection);
    if (!m_pendingDropActions.isEmpty())
        QMetaObject::invokeMethod(this, &PagedGrid::runPendingDropActions, Qt::QueuedConnection);
}

void PagedGrid::runPendingDropActions() {
    const QList<std::function<void()>> actions = std::exchange(m_pendingDropActions, {});
    for (const auto& action : actions)
        action();
}

void PagedGrid::dragHovered(qreal x, qreal width, int dot) {
    // Drags from other programs do not turn pages.
    if (!m_draggedApp)
        return;
    m_edgePager.hover(x, width, dot);
    if (!m_edgePager.isResting()) {
        m_edgeTimer.stop();
        return;
    }
    // The timer turns pages under a pointer held still; one that moves asks itself.
    if (!m_edgeTimer.isActive())
        m_edgeTimer.start();
    turnPageUnderDrag();
}

void PagedGrid::dragLeft() {
    m_edgePager.leave();
    m_edgeTimer.stop();
}

void PagedGrid::turnPageUnderDrag() {
    const std::optional<int> page = m_edgePager.due(shownPage(), pageCount());
    if (!page)
        return;
    // The view must keep the dragged tile's page before it scrolls away from it.
    setDragReach(std::max(m_dragReach, std::abs(*page - m_dragSourcePage)));
    setCurrentPage(*page);
}

void PagedGrid::setDragReach(int reach) {
    if (reach == m_dragReach)
        return;
    m_dragReach = reach;
    Q_EMIT dragReachChanged();
}

void PagedGrid::setSearching(bool searching) {
    setNeighbourRule(m_isSearching, searching);
}

// Only time on screen counts: a launcher started hidden builds nothing more
// while nobody can look at it.
void PagedGrid::setShown(bool shown) {
    if (shown == m_isShown)
        return;
    m_isShown = shown;
    Q_EMIT isShownChanged();
    if (!shown)
        m_lingerTimer.stop();
    else if (!m_hasLingered)
        m_lingerTimer.start();
}

void PagedGrid::setHasTurned(bool turned) {
    setNeighbourRule(m_hasTurned, turned);
}

void PagedGrid::setNeighbourRule(bool& rule, bool value) {
    const bool kept = keepsNeighbours();
    rule = value;
    if (keepsNeighbours() != kept)
        Q_EMIT keepsNeighboursChanged();
}

PagedGrid::CellLocation PagedGrid::locate(const QString& cellId) const {
    const std::optional<QUuid> id = parseUuidText(cellId);
    const int at = id ? indexOfCell(*id) : -1;
    const int pageSize = m_columns * m_rows;
    // Read from the composed grid: a page off screen need not make its cells.
    GridPageModel* page = at >= 0 && pageSize > 0 ? m_pages->page(at / pageSize) : nullptr;
    return page ? CellLocation{page, &m_items.at(at)} : CellLocation{};
}

int PagedGrid::indexOfCell(const QUuid& id) const {
    if (id.isNull())
        return -1;
    const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
                                    [&id](const GridItemType& item) { return item.uuid() == id; });
    return found == m_items.cend() ? -1 : int(found - m_items.cbegin());
}

bool PagedGrid::dropEntered(const QString& cellId) {
    const CellLocation cell = locate(cellId);
    if (!cell.page)
        return false;
    if (const AppItem* target = cell.item->app()) {
        cell.page->changeHover([&](DropHoverState& hover) {
            AppDropDelegate(*target, {}, m_draggedApp, hover, {}, {}, m_clock).dropEntered();
        });
        return true;
    }
    const FolderItem& folder = *cell.item->folder();
    if (!AppDropToFolderDelegate(folder, m_draggedApp, {}).validateDrop())
        return false;
    bool ring = cell.page->folderDropTarget() == folder.id;
    FolderDropDelegate(ring).dropEntered();
    cell.page->setFolderDropTarget(ring ? std::optional(folder.id) : std::nullopt);
    return true;
}

int PagedGrid::dropUpdated(const QString& cellId) {
    const CellLocation cell = locate(cellId);
    if (!cell.page)
        return Qt::IgnoreAction;
    if (const AppItem* target = cell.item->app()) {
        DropHoverState hover = cell.page->hover();
        return toDropAction(
            AppDropDelegate(*target, {}, m_draggedApp, hover, {}, {}, m_clock).dropUpdated());
    }
    const AppDropToFolderDelegate delegate(*cell.item->folder(), m_draggedApp, {});
    return delegate.validateDrop() ? toDropAction(delegate.dropUpdated()) : Qt::IgnoreAction;
}

void PagedGrid::dropExited(const QString& cellId) {
    const CellLocation cell = locate(cellId);
    if (!cell.page)
        return;
    if (const AppItem* target = cell.item->app()) {
        cell.page->changeHover([&](DropHoverState& hover) {
            AppDropDelegate(*target, {}, m_draggedApp, hover, {}, {}, m_clock).dropExited();
        });
        return;
    }
    const QUuid folderId = cell.item->folder()->id;
    bool ring = cell.page->folderDropTarget() == folderId;
    FolderDropDelegate(ring).dropExited();
    if (!ring && cell.page->folderDropTarget() == folderId)
        cell.page->setFolderDropTarget(std::nullopt);
}

bool PagedGrid::dropPerformed(const QString& cellId) {
    const CellLocation cell = locate(cellId);
    if (!cell.page)
        return false;
    GridPageModel* page = cell.page;
    bool taken = false;

    if (const AppItem* target = cell.item->app()) {
        // The whole grid's list, not the page's: the dragged tile may come
        // from another page, and lands before or after the target all the same.
        const AppList gridList = m_apps;
        const auto onMove = [this, gridList](int from, int to) {
            m_pendingDropActions.append([this, gridList, from, to] {
                // Looked up by id when carried out, so a catalogue that changed
                // in the meantime still moves the applications that were dropped.
                if (const auto move = translateMove(gridList, m_apps, from, to))
                    Q_EMIT moveRequested(move->first, move->second);
            });
        };
        const auto onCreateFolder = [this](const AppItem& dragged, const AppItem& onto) {
            m_pendingDropActions.append([this, dragged, onto] { createFolderFor(dragged, onto); });
        };
        const AppItem targetApp = *target;
        changeDragged([&](std::optional<AppItem>& dragged) {
            page->changeHover([&](DropHoverState& hover) {
                taken = AppDropDelegate(targetApp, gridList, dragged, hover, onMove, onCreateFolder,
                                        m_clock)
                            .performDrop();
            });
        });
        return taken;
    }

    const FolderItem folder = *cell.item->folder();
    bool ring = page->folderDropTarget() == folder.id;
    FolderDropDelegate(ring).performDrop();
    if (!ring && page->folderDropTarget() == folder.id)
        page->setFolderDropTarget(std::nullopt);
    const auto onAddToFolder = [this, folderId = folder.id](const AppItem& app) {
        m_pendingDropActions.append([this, folderId, app] { addToFolder(folderId, app); });
    };
    changeDragged([&](std::optional<AppItem>& dragged) {
        taken = AppDropToFolderDelegate(folder, dragged, onAddToFolder).performDrop();
    });
    return taken;
}

void PagedGrid::createFolderFor(const AppItem& dragged, const AppItem& target) {
    if (!m_settings)
        return;
    m_settings->createFolder(suggestFolderName({dragged, target}),
                             {dragged.bundleIdentifier, target.bundleIdentifier});
}

void PagedGrid::addToFolder(const QUuid& folderId, const AppItem& app) {
    if (m_settings)
        m_settings->addAppToFolder(folderId, app.bundleIdentifier);
}

QString PagedGrid::focusedCellId() const {
    return m_focusedIndex >= 0 && m_focusedIndex < m_items.size()
               ? uuidText(m_items.at(m_focusedIndex).uuid())
               : QString();
}

void PagedGrid::setFocusedIndex(int index) {
    if (index >= 0)
        setCurrentPage(index / (m_columns * m_rows));
    if (index == m_focusedIndex)
        return;
    m_focusedIndex = index;
    Q_EMIT focusChanged();
}

bool PagedGrid::navigate(int key, bool searching) {
    if (hasOpenFolder() || m_draggedApp)
        return false;
    const bool ring = m_focusedIndex >= 0;
    if (key & Qt::ControlModifier)
        return ring && moveFocusedApp(key & ~Qt::KeyboardModifierMask);
    if (key == Qt::Key_Menu ||
        key == QKeyCombination(Qt::ShiftModifier, Qt::Key_F10).toCombined()) {
        if (ring)
            Q_EMIT menuRequested(focusedCellId());
        return ring;
    }
    const auto step = [this](int dx, int dy) {
        setFocusedIndex(
            moveGridFocus(m_focusedIndex, shownPage(), dx, dy, itemCount(), m_columns, m_rows));
        return true;
    };
    // The ring keeps its place on the page it is carried to.
    const auto toPage = [this, ring](int page) {
        const int pageSize = m_columns * m_rows;
        page = std::clamp(page, 0, std::max(pageCount() - 1, 0));
        if (ring)
            setFocusedIndex(std::min(page * pageSize + m_focusedIndex % pageSize, itemCount() - 1));
        else
            setCurrentPage(page);
        return true;
    };
    switch (key) {
    case Qt::Key_Up:
        return step(0, -1);
    case Qt::Key_Down:
        return step(0, 1);
    case Qt::Key_Left:
        return ring && step(-1, 0);
    case Qt::Key_Right:
        return ring && step(1, 0);
    case Qt::Key_PageUp:
        return toPage(shownPage() - 1);
    case Qt::Key_PageDown:
        return toPage(shownPage() + 1);
    case Qt::Key_Home:
        return ring && toPage(0);
    case Qt::Key_End:
        return ring && toPage(pageCount() - 1);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        break;
    default:
        return false;
    }
    const auto firstApp = std::find_if(m_items.cbegin(), m_items.cend(),
                                       [](const GridItemType& item) { return item.app(); });
    const GridItemType* item = ring ? &m_items.at(m_focusedIndex)
                               : searching && firstApp != m_items.cend() ? &*firstApp
                                                                         : nullptr;
    if (item == nullptr)
        return false;
    if (const AppItem* app = item->app())
        Q_EMIT launchRequested(*app);
    else
        openFolder(uuidText(item->folder()->id));
    return true;
}

bool PagedGrid::moveFocusedApp(int key) {
    const int dx = key == Qt::Key_Left ? -1 : key == Qt::Key_Right ? 1 : 0;
    const int dy = key == Qt::Key_Up ? -1 : key == Qt::Key_Down ? 1 : 0;
    if (dx == 0 && dy == 0)
        return false;
    const int target =
        moveGridFocus(m_focusedIndex, shownPage(), dx, dy, itemCount(), m_columns, m_rows);
    const AppItem* app = m_items.at(m_focusedIndex).app();
    const AppItem* onto = m_items.at(target).app();
    const std::optional<int> from = app ? indexOfApp(m_apps, app->id) : std::nullopt;
    const std::optional<int> to = onto ? indexOfApp(m_apps, onto->id) : std::nullopt;
    if (!from || !to || *from == *to)
        return true;
    const QUuid moved = app->id;
    Q_EMIT moveRequested(*from, *to);
    // The main screen has rearranged the grid by now: the ring follows the application.
    setFocusedIndex(indexOfCell(moved));
    return true;
}
