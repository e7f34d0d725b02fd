#include "SearchRule.h"

bool matchesSearch(const QString& name, const QString& searchText) {
    return searchText.isEmpty() || name.contains(searchText, Qt::CaseInsensitive);
}

AppList filterApps(const AppList& apps, const QString& searchText) {
    if (searchText.isEmpty())
        return apps;
    AppList matching;
    for (const AppItem& app : apps) {
        if (matchesSearch(app.name, searchText))
            matching.append(app);
    }
    return matching;
}
