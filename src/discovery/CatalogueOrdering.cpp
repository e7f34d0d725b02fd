#include "CatalogueOrdering.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <vector>

QCollator appNameCollator() {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

void sortByName(AppList& apps) {
    const QCollator collator = appNameCollator();
    // Sort keys turn each comparison into a byte comparison; the collator would
    // redo the locale work for both names at every step.
    std::vector<std::pair<QCollatorSortKey, qsizetype>> keys;
    keys.reserve(size_t(apps.size()));
    for (qsizetype i = 0; i < apps.size(); ++i)
        keys.emplace_back(collator.sortKey(apps.at(i).name), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });
    AppList sorted;
    sorted.reserve(apps.size());
    for (const auto& key : keys)
        sorted.append(std::move(apps[key.second]));
    apps = std::move(sorted);
}

AppList orderCatalogue(const AppList& discovered, const QSet<QString>& hidden,
                       const QStringList& customOrder) {
    AppList visible;
    visible.reserve(discovered.size());
    for (const AppItem& app : discovered) {
        if (!hidden.contains(app.bundleIdentifier))
            visible.append(app);
    }

    if (customOrder.isEmpty()) {
        sortByName(visible);
        return visible;
    }

    QHash<QString, qsizetype> position;
    position.reserve(customOrder.size());
    for (qsizetype i = 0; i < customOrder.size(); ++i) {
        if (!position.contains(customOrder.at(i)))
            position.insert(customOrder.at(i), i);
    }
    constexpr qsizetype unlisted = std::numeric_limits<qsizetype>::max();
    std::vector<std::pair<qsizetype, qsizetype>> keys;
    keys.reserve(size_t(visible.size()));
    for (qsizetype i = 0; i < visible.size(); ++i)
        keys.emplace_back(position.value(visible.at(i).bundleIdentifier, unlisted), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    AppList ordered;
    ordered.reserve(visible.size());
    for (const auto& key : keys)
        ordered.append(std::move(visible[key.second]));
    return ordered;
}
