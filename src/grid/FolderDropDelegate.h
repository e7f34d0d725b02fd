#pragma once

#include "DropOperation.h"

// The folder tile's own drop handler: it only drives the tile's white ring.
// Adding the application is left to AppDropToFolderDelegate, so that a drop on
// a folder adds the application once.
class FolderDropDelegate {
public:
    explicit FolderDropDelegate(bool& isDropTarget)
        : m_isDropTarget(isDropTarget) {}

    void dropEntered() { m_isDropTarget = true; }
    [[nodiscard]] DropOperation dropUpdated() const { return DropOperation::Copy; }
    void dropExited() { m_isDropTarget = false; }
    bool performDrop() {
        m_isDropTarget = false;
        return true;
    }

private:
    bool& m_isDropTarget;
};
