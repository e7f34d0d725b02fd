#pragma once

#include <QStringList>

#include <atomic>

// Walks `folder` depth first and returns every item whose name has the extension
// "app" (exact case), in walk order. Hidden items (a name starting with a dot)
// are skipped, "app" items are never walked into, and symbolic links are not
// followed, so a link cycle cannot trap the walk. Entries of one folder are taken
// in byte order of their names, which makes "first found" repeatable. Names that
// are not valid UTF-8 cannot be named faithfully by the rest of the program
// (launching or trashing one could reach a different file), so such items and
// everything below them are left out. Unreadable folders contribute nothing.
// Stops early, returning what it has, once `cancelled` is set.
[[nodiscard]] QStringList findAppItems(const QString& folder, const std::atomic_bool& cancelled);
