#include "SearchRule.h"

#include <algorithm>
#include <vector>

bool matchesSearch(const QString& name, const QString& searchText) {
    return searchText.isEmpty() || name.contains(searchText, Qt::CaseInsensitive);
}

QString foldForSearch(const QString& text) {
    // Most names are plain ASCII, which decomposes to itself, has no marks and
    // folds as it lowers: folding thousands of them at every scan, that skips
    // the decomposition and its table lookups.
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return text.toLower();
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString kept;
    kept.reserve(decomposed.size());
    for (qsizetype i = 0; i < decomposed.size(); ++i) {
        // Marks beyond the first plane come as surrogate pairs, judged whole.
        const QChar unit = decomposed.at(i);
        const bool pair = unit.isHighSurrogate() && i + 1 < decomposed.size() &&
                          decomposed.at(i + 1).isLowSurrogate();
        const char32_t code =
            pair ? QChar::surrogateToUcs4(unit, decomposed.at(i + 1)) : unit.unicode();
        if (QChar::category(code) != QChar::Mark_NonSpacing)
            kept.append(decomposed.constData() + i, pair ? 2 : 1);
        i += pair ? 1 : 0;
    }
    return kept.toCaseFolded();
}

void prepareForSearch(AppItem& app, const QStringList& otherNames) {
    app.searchName = foldForSearch(app.name);
    app.searchUnfoldedToo = std::any_of(app.name.cbegin(), app.name.cend(),
                                        [](QChar c) { return c.unicode() >= 0x80; });
    app.searchAliases.clear();
    for (const QString& other : otherNames)
        app.searchAliases.append(foldForSearch(other));
}

AppList filterApps(const AppList& apps, const QString& searchText) {
    if (searchText.isEmpty())
        return apps;
    // Nothing left once folded (only marks typed): the name alone decides, as
    // an empty folded text would be found in everything.
    const QString folded = foldForSearch(searchText);
    const auto found = [&folded](const QString& text) {
        return !folded.isEmpty() && text.contains(folded);
    };
    // Reserved whole: growing a list of thousands copies it several times over.
    AppList matching;
    matching.reserve(apps.size());
    std::vector<const AppItem*> byOtherName;
    for (const AppItem& app : apps) {
        // The unfolded test is kept beside the folded one, where it can add a
        // match, so that no name found before folding existed is lost to it.
        if (found(app.searchName) || (app.searchUnfoldedToo && matchesSearch(app.name, searchText)))
            matching.append(app);
        else if (std::any_of(app.searchAliases.cbegin(), app.searchAliases.cend(), found))
            byOtherName.push_back(&app);
    }
    for (const AppItem* app : byOtherName)
        matching.append(*app);
    return matching;
}
