#pragma once

#include "AppItem.h"

#include <QString>
#include <QStringList>

// Whether an application named `name` is shown for the search text: an empty
// text shows everything; otherwise the name must contain the text, case
// ignored. The text is taken as typed (a space is a character to find).
[[nodiscard]] bool matchesSearch(const QString& name, const QString& searchText);

// `text` as search compares it: compatibility forms spelled out ("ﬁ" is "fi",
// full-width letters are letters), accents and other non-spacing marks left
// out, case folded. So "e" finds "é" and "É", and "é" finds "e".
[[nodiscard]] QString foldForSearch(const QString& text);

// Fills the folded search texts of `app` from its name and `otherNames`.
void prepareForSearch(AppItem& app, const QStringList& otherNames);

// The applications that match, in their given order: first those whose name
// matches, by matchesSearch or folded; then those that match only by one of
// their other names, folded.
[[nodiscard]] AppList filterApps(const AppList& apps, const QString& searchText);
