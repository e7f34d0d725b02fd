#include "AppDropToFolderDelegate.h"

AppDropToFolderDelegate::AppDropToFolderDelegate(FolderItem folder,
                                                 std::optional<AppItem>& draggedApp,
                                                 AddToFolderAction onAddToFolder)
    : m_folder(std::move(folder))
    , m_draggedApp(draggedApp)
    , m_onAddToFolder(std::move(onAddToFolder)) {}

bool AppDropToFolderDelegate::performDrop() {
    if (!m_draggedApp)
        return false;
    if (m_onAddToFolder)
        m_onAddToFolder(*m_draggedApp);
    m_draggedApp.reset();
    return true;
}
