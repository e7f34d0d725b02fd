#pragma once

#include "AppItem.h"

#include <optional>
#include <utility>

// A reorder as (from, to) positions in some application list.
using MovePositions = std::pair<int, int>;

// Index of the first application in `apps` whose id is `id`.
[[nodiscard]] std::optional<int> indexOfApp(const AppList& apps, const QUuid& id);

// Carries a reorder made in `source` over to `target`: the applications at
// `from` and `to` of `source` are looked up in `target` by id (never by
// position, since the lists differ whenever folders or a search leave some
// applications out). Nothing when either position is outside `source` or
// either application is missing from `target`.
[[nodiscard]] std::optional<MovePositions> translateMove(const AppList& source,
                                                         const AppList& target, int from, int to);

// The grid reports moves as positions in the list it was given, which is the
// search-filtered list; the catalogue moves by positions in its whole published
// list. Mapping through the ids moves the applications the user actually
// dragged, whatever the search hides.
[[nodiscard]] inline std::optional<MovePositions>
mapMoveToCatalogue(const AppList& shown, const AppList& published, int from, int to) {
    return translateMove(shown, published, from, to);
}
