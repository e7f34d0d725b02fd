#pragma once

#include "GridItemType.h"

class AppSettings;

// The grid's cells: every stored folder first, in stored order (also folders
// whose members are all absent from `apps`), then each application of `apps`
// in its order unless some folder lists its bundle identifier. Hidden
// applications are expected to be gone from `apps` already.
[[nodiscard]] GridItemList composeGridItems(const AppList& apps, const AppSettings& settings);

// Number of pages for `itemCount` cells: rounded up, 0 without cells. A page
// size below 1 is treated as 1 so that a bad caller cannot divide by zero.
[[nodiscard]] int pageCount(qsizetype itemCount, int pageSize);

// The applications of one page in page order, folders skipped: the list the
// page's drop handlers count positions in.
[[nodiscard]] AppList pageApps(const GridItemList& page);
