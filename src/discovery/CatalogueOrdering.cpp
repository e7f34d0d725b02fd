#include "CatalogueOrdering.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

QCollator appNameCollator() {
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

namespace {

// The positions of `apps` in their order by name.
std::vector<qsizetype> nameOrder(const AppList& apps) {
    std::vector<qsizetype> order(size_t(apps.size()));
    std::iota(order.begin(), order.end(), 0);
    if (!apps.isEmpty() && std::all_of(apps.cbegin(), apps.cend(),
                                       [](const AppItem& app) { return app.nameRank >= 0; })) {
        std::sort(order.begin(), order.end(), [&apps](qsizetype a, qsizetype b) {
            return apps.at(a).nameRank < apps.at(b).nameRank;
        });
        return order;
    }
    const QCollator collator = appNameCollator();
    if (collator.locale().language() == QLocale::C) {
        // Sort keys of the C locale ignore the case setting; comparing directly
        // honours it, and costs no locale work there anyway.
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return collator.compare(apps.at(a).name, apps.at(b).name) < 0;
        });
    } else {
        // Sort keys turn each comparison into a byte comparison; the collator
        // would redo the locale work for both names at every step.
        std::vector<QCollatorSortKey> keys;
        keys.reserve(size_t(apps.size()));
        for (const AppItem& app : std::as_const(apps))
            keys.push_back(collator.sortKey(app.name));
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return keys[size_t(a)].compare(keys[size_t(b)]) < 0;
        });
    }
    return order;
}

} // namespace

void sortByName(AppList& apps) {
    const std::vector<qsizetype> order = nameOrder(apps);
    AppList sorted;
    sorted.reserve(apps.size());
    for (const qsizetype i : order)
        sorted.append(std::move(apps[i]));
    apps = std::move(sorted);
}

void rankByName(AppList& apps) {
    for (AppItem& app : apps)
        app.nameRank = -1;
    const std::vector<qsizetype> order = nameOrder(apps);
    for (size_t rank = 0; rank < order.size(); ++rank)
        apps[order[rank]].nameRank = int(rank);
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

AppList hiddenCatalogue(const AppList& discovered, const QSet<QString>& hidden) {
    AppList found;
    QSet<QString> seen;
    for (const AppItem& app : discovered) {
        if (hidden.contains(app.bundleIdentifier) && !seen.contains(app.bundleIdentifier)) {
            seen.insert(app.bundleIdentifier);
            found.append(app);
        }
    }
    sortByName(found);
    return found;
}

QStringList keepUninstalled(const QStringList& order, const QStringList& stored,
                            const QSet<QString>& installed) {
    const QSet<QString> listed(order.cbegin(), order.cend());
    // The uninstalled, by the listed identifier they followed; those before
    // any listed one lead.
    QHash<QString, QStringList> following;
    QStringList result;
    QSet<QString> kept;
    QString previous;
    for (const QString& id : stored) {
        if (listed.contains(id))
            previous = id;
        else if (!installed.contains(id) && !kept.contains(id)) {
            kept.insert(id);
            (previous.isNull() ? result : following[previous]).append(id);
        }
    }
    for (const QString& id : order)
        result += QStringList{id} + following.take(id);
    return result;
}
