#pragma once

#include "AppItem.h"
#include "CatalogueRoots.h"

#include <QString>

#include <atomic>

struct ScanOptions {
    CatalogueRoots roots;
    // Listing the catalogue on a terminal needs no pictures.
    bool loadIcons = true;
    // The desktop's icon theme, read on the GUI thread before the scan starts.
    QString iconTheme;
};

// Every application of the catalogue, in discovery order: the bundles of each
// bundle folder in turn, then the desktop entries. One record per identifier,
// the first one found. Each record gets a fresh id and, when asked for, an icon
// of appIconPixels square (our generic one when the source has none that
// decodes). Blocking, and run off the GUI thread: bundle reads and icon decoding
// use the global thread pool. Returns early, incomplete, once `cancelled` is set.
[[nodiscard]] AppList scanCatalogue(const ScanOptions& options, const std::atomic_bool& cancelled);
