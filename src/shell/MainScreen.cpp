#include "MainScreen.h"

#include "AppDiscovery.h"
#include "AppLauncher.h"
#include "AppSettings.h"
#include "DesktopBackground.h"
#include "FileRevealer.h"
#include "MoveTranslation.h"
#include "PagedGrid.h"
#include "SearchRule.h"

#include <QTimer>

#include <algorithm>

namespace {

// A rescan gives every application a new id; the grid must hear of it even when
// names and paths are unchanged, or it would ask for icons under stale ids.
bool sameApps(const AppList& a, const AppList& b) {
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(),
                      [](const AppItem& x, const AppItem& y) { return x.id == y.id; });
}

} // namespace

MainScreen::MainScreen(AppSettings& settings, AppDiscovery& discovery, AppLauncher& launcher,
                       FileRevealer& revealer, DesktopBackground& background, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_discovery(discovery)
    , m_launcher(launcher)
    , m_revealer(revealer)
    , m_background(background)
    , m_grid(new PagedGrid(this)) {
    m_grid->setLayout(gridColumns, gridRows);
    m_grid->setSettings(&m_settings);
    m_grid->setRevealLabel(m_revealer.revealLabel());
    connect(m_grid, &PagedGrid::launchRequested, this, &MainScreen::launch);
    connect(m_grid, &PagedGrid::hideRequested, this, &MainScreen::hideApp);
    connect(m_grid, &PagedGrid::deleteRequested, this, &MainScreen::requestDelete);
    connect(m_grid, &PagedGrid::moveRequested, this, &MainScreen::moveApp);
    connect(m_grid, &PagedGrid::revealRequested, this, &MainScreen::reveal);

    connect(&m_discovery, &AppDiscovery::applicationsChanged, this, &MainScreen::refilter);
    // The default file manager is looked up in the background; by the time a
    // catalogue is published it is known.
    connect(&m_discovery, &AppDiscovery::applicationsChanged, this,
            [this] { m_grid->setRevealLabel(m_revealer.revealLabel()); });
    connect(&m_discovery, &AppDiscovery::isLoadingChanged, this, &MainScreen::updateContentState);
    refilter();
}

MainScreen::~MainScreen() = default;

void MainScreen::appear() {
    m_background.load();
    m_discovery.setIsLoading(true);
    m_discovery.loadApplications();
}

void MainScreen::setSearchText(const QString& text) {
    if (text == m_searchText)
        return;
    m_searchText = text;
    Q_EMIT searchTextChanged();
    refilter();
    Q_EMIT emptyStateChanged();
}

void MainScreen::setEditMode(bool editMode) {
    if (editMode == m_isEditMode)
        return;
    m_isEditMode = editMode;
    m_grid->setEditMode(editMode);
    Q_EMIT isEditModeChanged();
}

void MainScreen::toggleEditMode() {
    setEditMode(!m_isEditMode);
}

QString MainScreen::editButtonText() const {
    return m_isEditMode ? tr("Done") : tr("Edit");
}

void MainScreen::refilter() {
    AppList filtered = filterApps(m_discovery.applications(), m_searchText);
    if (!sameApps(filtered, m_filteredApps)) {
        m_filteredApps = std::move(filtered);
        m_grid->setApps(m_filteredApps);
        Q_EMIT filteredAppsChanged();
    }
    updateContentState();
}

MainScreen::ContentState MainScreen::contentState() const {
    return m_contentState;
}

void MainScreen::updateContentState() {
    ContentState state = ContentState::Empty;
    if (m_discovery.isLoading())
        state = ContentState::Loading;
    else if (!m_filteredApps.isEmpty())
        state = ContentState::Grid;
    if (state == m_contentState)
        return;
    m_contentState = state;
    Q_EMIT contentStateChanged();
}

QString MainScreen::loadingText() {
    return tr("Discovering applications...");
}

QString MainScreen::emptySymbol() const {
    return m_searchText.isEmpty() ? QStringLiteral("app.dashed")
                                  : QStringLiteral("magnifyingglass");
}

QUrl MainScreen::emptySymbolSource() const {
    return m_searchText.isEmpty()
               ? QUrl(QStringLiteral("qrc:/Quorlin/shell/icons/app-dashed.svg"))
               : QUrl(QStringLiteral("qrc:/Quorlin/shell/icons/magnifyingglass.svg"));
}

QString MainScreen::emptyText() const {
    if (m_searchText.isEmpty())
        return tr("No applications found");
    //: %1 is the search text as typed.
    return tr("No results for '%1'").arg(m_searchText);
}

void MainScreen::launch(const AppItem& app) {
    m_launcher.launch(app);
    // Search text and edit mode stay: the launcher comes back as it was left.
    QTimer::singleShot(launchHideDelayMs, this, [this] { Q_EMIT hideLauncherRequested(); });
}

void MainScreen::hideApp(const AppItem& app) {
    m_settings.hideApp(app.bundleIdentifier);
    m_discovery.filterAndSortApps();
}

void MainScreen::moveApp(int from, int to) {
    if (const auto move = mapMoveToCatalogue(m_filteredApps, m_discovery.applications(), from, to))
        m_discovery.moveApp(move->first, move->second);
}

void MainScreen::reveal(const AppItem& app) {
    m_revealer.reveal(app.path);
}

void MainScreen::requestDelete(const AppItem& app) {
    m_appToDelete = app;
    Q_EMIT deleteMessageChanged();
    setShowDeleteConfirmation(true);
}

void MainScreen::setShowDeleteConfirmation(bool show) {
    if (show == m_showDeleteConfirmation)
        return;
    m_showDeleteConfirmation = show;
    Q_EMIT showDeleteConfirmationChanged();
}

QString MainScreen::deleteTitle() {
    return tr("Delete Application");
}

QString MainScreen::deleteMessage() const {
    if (!m_appToDelete)
        return {};
    //: %1 is the application's name.
    return tr("Are you sure you want to move %1 to the Trash? This action cannot be undone.")
        .arg(m_appToDelete->name);
}

void MainScreen::confirmDelete() {
    // A confirmation that is not on screen confirms nothing: a stray second
    // accept must not delete the application again.
    if (!m_showDeleteConfirmation)
        return;
    setShowDeleteConfirmation(false);
    if (m_appToDelete)
        m_discovery.deleteApp(*m_appToDelete);
}

void MainScreen::cancelDelete() {
    setShowDeleteConfirmation(false);
}

void MainScreen::handleEscape() {
    Q_EMIT hideLauncherRequested();
}
