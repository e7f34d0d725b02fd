#pragma once

#include <QString>

// Moves files and folders to the user's Trash, where they can be restored from.
class Trash {
public:
    struct Result {
        bool moved = false;
        // Human-readable reason when the item could not be moved; empty on success.
        QString errorText;
    };

    virtual ~Trash() = default;

    [[nodiscard]] virtual Result moveToTrash(const QString& path) = 0;
};
