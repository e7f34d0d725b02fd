#pragma once

#include "AppItem.h"

#include <QString>

// Whether an application named `name` is shown for the search text: an empty
// text shows everything; otherwise the name must contain the text, case
// ignored. The text is taken as typed (a space is a character to find).
[[nodiscard]] bool matchesSearch(const QString& name, const QString& searchText);

// The applications that match, in their given order.
[[nodiscard]] AppList filterApps(const AppList& apps, const QString& searchText);
