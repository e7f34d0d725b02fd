#include "HiddenApps.h"

#include "AppDiscovery.h"
#include "AppSettings.h"
#include "SearchRule.h"
#include "UuidText.h"

HiddenApps::HiddenApps(AppSettings& settings, AppDiscovery& discovery, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_discovery(discovery) {
    connect(&m_settings, &AppSettings::hiddenAppsChanged, this, &HiddenApps::refresh);
    // What is hidden changes with the settings, what is installed with a scan;
    // a move in the grid changes neither.
    connect(&m_discovery, &AppDiscovery::scanFinished, this, &HiddenApps::refresh);
    refresh();
}

void HiddenApps::setSearchText(const QString& text) {
    if (text == m_searchText)
        return;
    m_searchText = text;
    Q_EMIT searchTextChanged();
    refresh();
}

void HiddenApps::unhide(const QString& appId) {
    const std::optional<QUuid> id = parseUuidText(appId);
    for (const AppItem& app : std::as_const(m_all)) {
        if (id && app.id == *id) {
            m_settings.unhideApp(app.bundleIdentifier);
            m_discovery.filterAndSortApps();
            return;
        }
    }
}

void HiddenApps::refresh() {
    const qsizetype before = m_all.size();
    m_all = m_discovery.hiddenApplications();
    m_model.setApps(filterApps(m_all, m_searchText));
    if (m_all.size() != before)
        Q_EMIT countChanged();
}
