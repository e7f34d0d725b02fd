#pragma once

#include <QString>

// Shows a file in the desktop's file manager with the file selected.
class FileRevealer {
public:
    virtual ~FileRevealer() = default;

    // Fire-and-forget: nothing waits for the file manager to appear.
    virtual void reveal(const QString& path) = 0;

    // The menu text for reveal(), named after the file manager that will answer.
    [[nodiscard]] virtual QString revealLabel() const = 0;
};

// "Show in " + the file manager's display name, or a generic text when the
// desktop names none; in the interface's language.
[[nodiscard]] QString revealLabelFor(const QString& fileManagerName);
