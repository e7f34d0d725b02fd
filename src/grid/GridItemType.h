#pragma once

#include "AppItem.h"
#include "FolderItem.h"

#include <QList>
#include <QString>

#include <variant>

// One cell of the launcher grid: an application that no folder holds, or a
// folder. Cells are copies taken when the grid is composed; changing a folder
// or an application goes through the settings or the catalogue, never a cell.
class GridItemType {
public:
    explicit GridItemType(AppItem app)
        : m_payload(std::move(app)) {}
    explicit GridItemType(FolderItem folder)
        : m_payload(std::move(folder)) {}

    [[nodiscard]] bool isApp() const { return std::holds_alternative<AppItem>(m_payload); }
    [[nodiscard]] bool isFolder() const { return std::holds_alternative<FolderItem>(m_payload); }
    // Null when the cell is of the other kind.
    [[nodiscard]] const AppItem* app() const { return std::get_if<AppItem>(&m_payload); }
    [[nodiscard]] const FolderItem* folder() const { return std::get_if<FolderItem>(&m_payload); }

    // The payload's UUID in canonical text. It keys the cell on screen, so a
    // cell keeps its view while its application or folder keeps its id; the
    // two kinds need no prefix because their UUIDs never collide.
    [[nodiscard]] QString id() const;
    // The same id as a UUID, for comparisons that should not format text.
    [[nodiscard]] QUuid uuid() const;

private:
    std::variant<AppItem, FolderItem> m_payload;
};

using GridItemList = QList<GridItemType>;
