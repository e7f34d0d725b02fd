#pragma once

#include "DropHoverState.h"
#include "GridItemType.h"

#include <QAbstractListModel>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

// The cells of one page of the grid, and the drag-hover state that belongs to
// that page. New contents are applied as removes, moves, inserts and data
// changes, so the tiles on screen keep their state (hover, wiggle phase) across
// updates instead of being rebuilt.
class GridPageModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Pages are made by PagedGrid")

public:
    enum Role {
        KindRole = Qt::UserRole + 1,
        CellIdRole,
        AppIdRole,
        NameRole,
        BundleIdentifierRole,
        PathRole,
        IconSourceRole,
        FolderIdRole,
        FolderNameRole,
        PreviewIconsRole,
        IsDraggedRole,
        IsDropTargetRole,
    };

    struct Cell {
        GridItemType item;
        // Icon URLs of a folder's preview; empty for applications.
        QStringList previewIcons;
    };

    // Makes a page's cells from the grid as composed, when they are needed.
    using CellMaker = std::function<QList<Cell>()>;

    explicit GridPageModel(QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    void setCells(const QList<Cell>& cells);
    // As setCells(), but a page no view watches keeps `make` and runs it only
    // when its cells are asked for: a keystroke changes every page of a large
    // catalogue, and only the few pages built on screen need theirs at once.
    void deferCells(CellMaker make);
    [[nodiscard]] const QList<Cell>& cells() const;
    [[nodiscard]] GridItemList items() const;
    [[nodiscard]] int rowOf(const QString& cellId) const;
    [[nodiscard]] int rowOf(const QUuid& cellId) const;

    // The application being dragged anywhere in the grid; its tile is dimmed.
    void setDraggedAppId(const QUuid& id);

    [[nodiscard]] const DropHoverState& hover() const { return m_hover; }
    [[nodiscard]] const std::optional<QUuid>& folderDropTarget() const {
        return m_folderDropTarget;
    }
    // Runs a change of the hover state and redraws the rings it moved.
    void changeHover(const std::function<void(DropHoverState&)>& change);
    void setFolderDropTarget(const std::optional<QUuid>& folderId);
    // Drops the rings and the hover timer, e.g. when a drag ends anywhere.
    void clearHover();

private:
    [[nodiscard]] static bool sameContent(const Cell& a, const Cell& b);
    [[nodiscard]] int rowOf(const QUuid& cellId, int from) const;
    [[nodiscard]] QUuid ringTarget() const;
    void emitRoleChanged(const QUuid& id, int role);
    [[nodiscard]] bool isWatched() const;
    // Runs a deferred maker; nothing watches the page while one waits, so the
    // cells change without signals.
    void settle() const;

    mutable QList<Cell> m_cells;
    mutable CellMaker m_pending;
    QUuid m_draggedAppId;
    DropHoverState m_hover;
    std::optional<QUuid> m_folderDropTarget;
};
