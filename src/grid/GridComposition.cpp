#include "GridComposition.h"

#include "AppSettings.h"

#include <algorithm>

GridItemList composeGridItems(const AppList& apps, const AppSettings& settings) {
    GridItemList items;
    items.reserve(settings.folders().size() + apps.size());
    for (const FolderItem& folder : settings.folders())
        items.append(GridItemType(folder));
    for (const AppItem& app : apps) {
        if (!settings.isAppInFolder(app.bundleIdentifier))
            items.append(GridItemType(app));
    }
    return items;
}

int pageCount(qsizetype itemCount, int pageSize) {
    const qsizetype size = std::max(pageSize, 1);
    return static_cast<int>((std::max<qsizetype>(itemCount, 0) + size - 1) / size);
}

AppList pageApps(const GridItemList& page) {
    AppList apps;
    for (const GridItemType& item : page) {
        if (const AppItem* app = item.app())
            apps.append(*app);
    }
    return apps;
}
