#pragma once

#include "AppItem.h"

#include <QCollator>
#include <QSet>
#include <QStringList>

// How names compare for the alphabetical order: the current locale's collation,
// case ignored, digit runs compared character by character.
[[nodiscard]] QCollator appNameCollator();

// Sorts by name with appNameCollator(); names that compare the same keep their
// order. When every application carries a nameRank, those ranks decide.
void sortByName(AppList& apps);

// Sets each application's nameRank to its place in sortByName's order of
// `apps`, which keeps its own order. Any part of the list then sorts by name
// as that part would have sorted by itself.
void rankByName(AppList& apps);

// The published catalogue: `discovered` without the hidden identifiers, in the
// manual order when there is one, else by name. In the manual order an
// application takes the place of its identifier's first occurrence, and those
// not listed follow all listed ones in discovery order. Linear in the sizes of
// both lists apart from the sort itself.
[[nodiscard]] AppList orderCatalogue(const AppList& discovered, const QSet<QString>& hidden,
                                     const QStringList& customOrder);

// The applications of `discovered` that the user hid, each identifier once
// (its first record, as the catalogue shows it), by name: what there is to
// bring back.
[[nodiscard]] AppList hiddenCatalogue(const AppList& discovered, const QSet<QString>& hidden);

// The manual order to store after the user arranged `order`: identifiers of
// `stored` that are not installed now (in none of `installed`) keep their
// place after the identifier they followed, so an application taken out and
// installed again comes back where it was. Installed applications not in
// `order` (hidden ones) leave it as before.
[[nodiscard]] QStringList keepUninstalled(const QStringList& order, const QStringList& stored,
                                          const QSet<QString>& installed);
