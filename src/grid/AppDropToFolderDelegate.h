#pragma once

#include "AppItem.h"
#include "DropOperation.h"
#include "FolderItem.h"

#include <functional>
#include <optional>

// The grid's drop handler on a folder tile: a dropped application of the grid
// joins the folder. Drags that did not start on one of the grid's tiles (from
// another program, say) are refused by validation.
class AppDropToFolderDelegate {
public:
    using AddToFolderAction = std::function<void(const AppItem& app)>;

    AppDropToFolderDelegate(FolderItem folder, std::optional<AppItem>& draggedApp,
                            AddToFolderAction onAddToFolder);

    [[nodiscard]] bool validateDrop() const { return m_draggedApp.has_value(); }
    [[nodiscard]] DropOperation dropUpdated() const { return DropOperation::Copy; }
    bool performDrop();

    [[nodiscard]] const FolderItem& folder() const { return m_folder; }

private:
    FolderItem m_folder;
    std::optional<AppItem>& m_draggedApp;
    AddToFolderAction m_onAddToFolder;
};
