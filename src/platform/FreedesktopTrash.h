#pragma once

#include "Trash.h"

// The freedesktop.org Trash ($XDG_DATA_HOME/Trash, or the volume's own trash
// folder for items on other file systems), so the desktop's file manager can
// restore what was moved there.
class FreedesktopTrash final : public Trash {
public:
    [[nodiscard]] Result moveToTrash(const QString& path) override;
};
