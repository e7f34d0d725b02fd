#include "MainScreen.h"

#include "AppDiscovery.h"
#include "AppLauncher.h"
#include "AppSettings.h"
#include "ConsoleLine.h"
#include "DesktopBackground.h"
#include "FileRevealer.h"
#include "FolderPanel.h"
#include "HiddenApps.h"
#include "MoveTranslation.h"
#include "PagedGrid.h"
#include "SearchRule.h"

#include <QFutureWatcher>
#include <QTimer>

#include <algorithm>
#include <utility>

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
    , m_grid(new PagedGrid(this))
    , m_hiddenApps(new HiddenApps(settings, discovery, this))
    , m_launchErrorTimer(new QTimer(this)) {
    m_launchErrorTimer->setSingleShot(true);
    m_launchErrorTimer->setInterval(launchErrorMs);
    connect(m_launchErrorTimer, &QTimer::timeout, this, [this] { setLaunchError(QString()); });
    m_grid->setLayout(gridColumns, gridRows);
    m_grid->setSettings(&m_settings);
    m_grid->setRevealLabel(m_revealer.revealLabel());
    connect(m_grid, &PagedGrid::launchRequested, this, &MainScreen::launch);
    connect(m_grid, &PagedGrid::actionRequested, this, &MainScreen::launchAction);
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
    // Keystrokes read together narrow the grid once, to the last text.
    const bool waiting = std::exchange(m_searchPending, true);
    if (!m_defersSearch)
        applyPendingSearch();
    else if (!waiting)
        Q_EMIT searchDeferred();
}

void MainScreen::applyPendingSearch() {
    if (m_searchPending)
        refilter();
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
    // A catalogue published while a search waits applies it too.
    const bool searched = std::exchange(m_searchPending, false);
    AppList filtered = filterApps(m_discovery.applications(), m_searchText);
    // Before the grid changes: pages about to be let go are not rebound first.
    m_grid->setSearching(!m_searchText.isEmpty());
    if (!sameApps(filtered, m_filteredApps)) {
        m_filteredApps = std::move(filtered);
        m_grid->setApps(m_filteredApps);
        Q_EMIT filteredAppsChanged();
    }
    updateContentState();
    if (searched)
        Q_EMIT emptyStateChanged();
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
               ? QUrl(QStringLiteral("image://symbol/shell/icons/app-dashed.svg"))
               : QUrl(QStringLiteral("image://symbol/shell/icons/magnifyingglass.svg"));
}

QString MainScreen::emptyText() const {
    if (m_searchText.isEmpty())
        return tr("No applications found");
    //: %1 is the search text as typed.
    return tr("No results for '%1'").arg(m_searchText);
}

void MainScreen::launch(const AppItem& app) {
    followLaunch(app.name, m_launcher.launch(app, {}));
}

void MainScreen::launchAction(const AppItem& app, const QString& actionId) {
    followLaunch(app.name, m_launcher.launch(app, actionId));
}

void MainScreen::followLaunch(const QString& name, const QFuture<QString>& answer) {
    // The answer may come from a worker thread; the watcher, a child of the
    // screen, brings it to this thread and goes with the screen, so a late
    // answer finds nothing to call. The timers go with the watcher.
    auto* watcher = new QFutureWatcher<QString>(this);
    auto* delay = new QTimer(watcher);
    auto* patience = new QTimer(watcher);
    for (QTimer* timer : {delay, patience})
        timer->setSingleShot(true);
    // A coarse timer may fire up to 5 % early: the launched program's moment
    // is a promise, not an estimate.
    delay->setTimerType(Qt::PreciseTimer);
    const auto settle = [watcher, delay, patience] {
        delay->stop();
        patience->stop();
        watcher->disconnect();
        watcher->deleteLater();
    };
    // Search text and edit mode stay: the launcher comes back as it was left.
    const auto hide = [this, settle] {
        settle();
        Q_EMIT hideLauncherRequested();
    };
    // Once the delay is over, with the launch answered: the patience timer
    // stops only on an answer that the program started.
    connect(delay, &QTimer::timeout, this, [hide, patience] {
        if (!patience->isActive())
            hide();
    });
    connect(patience, &QTimer::timeout, this, hide);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, delay, patience, hide, settle, name] {
                // A launch that gave no answer at all did not start anything.
                const QString error = watcher->future().resultCount() > 0
                                          ? watcher->result()
                                          : QStringLiteral("no answer");
                if (error.isEmpty()) {
                    patience->stop();
                    if (!delay->isActive())
                        hide();
                    return;
                }
                settle();
                printConsoleLine(QStringLiteral("Error launching app: %1").arg(error));
                //: %1 is the application's name.
                setLaunchError(tr("Could not open %1").arg(name));
            });
    delay->start(launchHideDelayMs);
    patience->start(launchAnswerWaitMs);
    watcher->setFuture(answer);
}

void MainScreen::setLaunchError(const QString& error) {
    if (!error.isEmpty())
        m_launchErrorTimer->start();
    if (error == m_launchError)
        return;
    m_launchError = error;
    Q_EMIT launchErrorChanged();
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

bool MainScreen::navigate(int key) {
    // Every key comes here before the search field. One that navigates (Return,
    // an arrow, Tab) acts on the results of the letters typed before it, drawn
    // or not; a letter lets the search wait, so letters typed together narrow once.
    const int bare = key & ~Qt::KeyboardModifierMask;
    if ((key & Qt::ControlModifier) || bare <= Qt::Key_Space || bare >= Qt::Key_Escape)
        applyPendingSearch();
    const bool tab = key == Qt::Key_Tab;
    const bool backTab = key == Qt::Key_Backtab ||
                         key == QKeyCombination(Qt::ShiftModifier, Qt::Key_Backtab).toCombined();
    if (tab || backTab) {
        // An open folder's panel keeps its own order.
        if (m_grid->hasOpenFolder())
            return false;
        enum Stop { Search, Grid, Edit };
        const bool gridReachable = m_contentState == ContentState::Grid;
        const Stop here = m_editButtonFocused                  ? Edit
                          : !m_grid->focusedCellId().isEmpty() ? Grid
                                                               : Search;
        int next = here;
        do
            next = (next + (tab ? 1 : 2)) % 3;
        while (next == Grid && !gridReachable);
        m_grid->clearFocus();
        if (next == Grid)
            m_grid->navigate(Qt::Key_Down, false);
        setEditButtonFocused(next == Edit);
        return true;
    }
    if (m_editButtonFocused) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            toggleEditMode();
            return true;
        }
        // Any other key takes the keyboard back to the search field and the grid.
        setEditButtonFocused(false);
    }
    if (FolderPanel* panel = m_grid->openFolderPanel())
        return panel->navigate(key);
    return m_grid->navigate(key, !m_searchText.isEmpty());
}

void MainScreen::resetKeyboardFocus() {
    m_grid->clearFocus();
    setEditButtonFocused(false);
}

void MainScreen::setEditButtonFocused(bool focused) {
    if (focused == m_editButtonFocused)
        return;
    m_editButtonFocused = focused;
    Q_EMIT editButtonFocusedChanged();
}
