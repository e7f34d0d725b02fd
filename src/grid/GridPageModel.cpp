#include "GridPageModel.h"

#include "AppIconSource.h"
#include "UuidText.h"

#include <QMetaMethod>
#include <QSet>

#include <algorithm>

GridPageModel::GridPageModel(QObject* parent)
    : QAbstractListModel(parent) {}

int GridPageModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(cells().size());
}

const QList<GridPageModel::Cell>& GridPageModel::cells() const {
    settle();
    return m_cells;
}

void GridPageModel::settle() const {
    if (m_pending)
        m_cells = std::exchange(m_pending, {})();
}

bool GridPageModel::isWatched() const {
    // A view connects to the row signals as it attaches and lets go as it is
    // taken down; a page no one listens to owes no one its edits.
    static const QMetaMethod inserted = QMetaMethod::fromSignal(&QAbstractItemModel::rowsInserted);
    static const QMetaMethod changed = QMetaMethod::fromSignal(&QAbstractItemModel::dataChanged);
    return isSignalConnected(inserted) || isSignalConnected(changed);
}

void GridPageModel::deferCells(CellMaker make) {
    if (isWatched())
        setCells(make());
    else
        m_pending = std::move(make);
}

QVariant GridPageModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Cell& cell = cells().at(index.row());
    const AppItem* app = cell.item.app();
    const FolderItem* folder = cell.item.folder();
    switch (role) {
    case KindRole:
        return app ? QStringLiteral("app") : QStringLiteral("folder");
    case CellIdRole:
        return cell.item.id();
    case AppIdRole:
        return app ? uuidText(app->id) : QString();
    case NameRole:
        return app ? app->name : folder->name;
    case BundleIdentifierRole:
        return app ? app->bundleIdentifier : QString();
    case PathRole:
        return app ? app->path : QString();
    case IconSourceRole:
        return app ? appIconSource(*app) : QString();
    case FolderIdRole:
        return folder ? uuidText(folder->id) : QString();
    case FolderNameRole:
        return folder ? folder->name : QString();
    case PreviewIconsRole:
        return cell.previewIcons;
    case IsDraggedRole:
        return app && !m_draggedAppId.isNull() && app->id == m_draggedAppId;
    case IsDropTargetRole: {
        const QUuid id = cell.item.uuid();
        return app ? ringTarget() == id : m_folderDropTarget == id;
    }
    default:
        return {};
    }
}

QHash<int, QByteArray> GridPageModel::roleNames() const {
    return {
        {KindRole, "kind"},
        {CellIdRole, "cellId"},
        {AppIdRole, "appId"},
        {NameRole, "name"},
        {BundleIdentifierRole, "bundleIdentifier"},
        {PathRole, "path"},
        {IconSourceRole, "iconSource"},
        {FolderIdRole, "folderId"},
        {FolderNameRole, "folderName"},
        {PreviewIconsRole, "previewIcons"},
        {IsDraggedRole, "isDragged"},
        {IsDropTargetRole, "isDropTarget"},
    };
}

GridItemList GridPageModel::items() const {
    GridItemList items;
    items.reserve(cells().size());
    for (const Cell& cell : cells())
        items.append(cell.item);
    return items;
}

int GridPageModel::rowOf(const QString& cellId) const {
    const std::optional<QUuid> id = parseUuidText(cellId);
    return id ? rowOf(*id) : -1;
}

int GridPageModel::rowOf(const QUuid& cellId) const {
    return rowOf(cellId, 0);
}

int GridPageModel::rowOf(const QUuid& cellId, int from) const {
    if (cellId.isNull())
        return -1;
    settle();
    for (int row = std::max(from, 0); row < m_cells.size(); ++row) {
        if (m_cells.at(row).item.uuid() == cellId)
            return row;
    }
    return -1;
}

bool GridPageModel::sameContent(const Cell& a, const Cell& b) {
    if (a.previewIcons != b.previewIcons)
        return false;
    if (const AppItem* x = a.item.app()) {
        const AppItem* y = b.item.app();
        return y && x->name == y->name && x->bundleIdentifier == y->bundleIdentifier &&
               x->path == y->path;
    }
    const FolderItem* y = b.item.folder();
    return y && *a.item.folder() == *y;
}

void GridPageModel::setCells(const QList<Cell>& cells) {
    // A page holds a few dozen cells at most, so a quadratic walk is cheap and
    // keeps the edits minimal: bring each position in line by moving an
    // existing cell there, handing it a leaving cell's row or inserting it,
    // then drop the leaving cells left over at the end. A page whose cells all
    // stay in place (every page before a search's first change) is only compared.
    settle();
    QSet<QUuid> wanted;
    for (const Cell& cell : cells)
        wanted.insert(cell.item.uuid());
    const auto firstLeaving = [this, &wanted](int from) {
        for (int row = from; row < m_cells.size(); ++row) {
            if (!wanted.contains(m_cells.at(row).item.uuid()))
                return row;
        }
        return -1;
    };
    const auto replace = [this](int row, const Cell& next) {
        if (sameContent(m_cells.at(row), next) && m_cells.at(row).item.uuid() == next.item.uuid())
            return;
        m_cells[row] = next;
        Q_EMIT dataChanged(index(row), index(row));
    };
    for (int row = 0; row < cells.size(); ++row) {
        const Cell& next = cells.at(row);
        const QUuid id = next.item.uuid();
        if (row < m_cells.size() && m_cells.at(row).item.uuid() == id) {
            replace(row, next);
            continue;
        }
        const int from = rowOf(id, row + 1);
        if (from >= 0) {
            beginMoveRows({}, from, from, {}, row);
            m_cells.insert(row, m_cells.takeAt(from));
            endMoveRows();
            replace(row, next);
        } else if (row < m_cells.size() && !wanted.contains(m_cells.at(row).item.uuid())) {
            // A cell leaving the page hands its row, and so its tile, to the
            // newcomer: binding a tile to another application costs a fraction
            // of destroying one and building the next, which is what a
            // keystroke would otherwise do to a whole page.
            replace(row, next);
        } else if (const int leaving = firstLeaving(row + 1); leaving >= 0) {
            // The row's cell stays, further down: a leaving cell from below
            // comes up to hand over its tile instead, so a widening search
            // rebinds tiles rather than building some and dropping others.
            beginMoveRows({}, leaving, leaving, {}, row);
            m_cells.insert(row, m_cells.takeAt(leaving));
            endMoveRows();
            replace(row, next);
        } else {
            // Newcomers side by side go in as one run: a page that fills up
            // when a search widens takes one insertion, not one per cell.
            int last = row;
            while (last + 1 < cells.size() && rowOf(cells.at(last + 1).item.uuid(), row) < 0)
                ++last;
            const QList<Cell> after = m_cells.sliced(row);
            beginInsertRows({}, row, last);
            m_cells.remove(row, after.size());
            m_cells << cells.sliced(row, last - row + 1) << after;
            endInsertRows();
            row = last;
        }
    }
    // Everything past the new cells is leaving.
    if (m_cells.size() > cells.size()) {
        beginRemoveRows({}, int(cells.size()), int(m_cells.size()) - 1);
        m_cells.remove(cells.size(), m_cells.size() - cells.size());
        endRemoveRows();
    }
}

void GridPageModel::setDraggedAppId(const QUuid& id) {
    if (m_draggedAppId == id)
        return;
    const QUuid before = m_draggedAppId;
    m_draggedAppId = id;
    emitRoleChanged(before, IsDraggedRole);
    emitRoleChanged(id, IsDraggedRole);
}

QUuid GridPageModel::ringTarget() const {
    return m_hover.dropTargetApp ? m_hover.dropTargetApp->id : QUuid();
}

void GridPageModel::changeHover(const std::function<void(DropHoverState&)>& change) {
    const QUuid before = ringTarget();
    change(m_hover);
    const QUuid after = ringTarget();
    if (before != after) {
        emitRoleChanged(before, IsDropTargetRole);
        emitRoleChanged(after, IsDropTargetRole);
    }
}

void GridPageModel::setFolderDropTarget(const std::optional<QUuid>& folderId) {
    if (m_folderDropTarget == folderId)
        return;
    const std::optional<QUuid> before = m_folderDropTarget;
    m_folderDropTarget = folderId;
    if (before)
        emitRoleChanged(*before, IsDropTargetRole);
    if (folderId)
        emitRoleChanged(*folderId, IsDropTargetRole);
}

void GridPageModel::clearHover() {
    changeHover([](DropHoverState& hover) { hover = {}; });
    setFolderDropTarget(std::nullopt);
}

void GridPageModel::emitRoleChanged(const QUuid& id, int role) {
    // Cells still to be made show the state as it is when they are.
    if (id.isNull() || m_pending)
        return;
    const int row = rowOf(id);
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), {role});
}
