#pragma once

#include <QString>
#include <QUuid>

#include <optional>

// The canonical 36-character form, upper-case hexadecimal, no braces: the form
// stored in settings and used as a grid cell's id.
[[nodiscard]] QString uuidText(const QUuid& uuid);

// Accepts exactly the canonical 8-4-4-4-12 form (either letter case, no braces);
// anything else is not a UUID.
[[nodiscard]] std::optional<QUuid> parseUuidText(const QString& text);
