#pragma once

#include "AppItem.h"
#include "CatalogueRoots.h"

#include <atomic>

// Every application of the catalogue, in discovery order: the bundles of each
// bundle folder in turn, then the desktop entries. One record per identifier,
// the first one found. Each record gets a fresh id and its icon's source (the
// bundle's icon file as an absolute path, or what the entry names), which is
// neither looked up nor decoded here: views ask for the icons they show.
// Its names are folded for search (prepareForSearch) and ranked by name
// (rankByName) here too, off the GUI thread.
// Blocking, and run off the GUI thread: bundle reads use the global thread
// pool. Returns early, incomplete, once `cancelled` is set.
[[nodiscard]] AppList scanCatalogue(const CatalogueRoots& roots, const std::atomic_bool& cancelled);
