#include "FolderPanel.h"

#include "AppListModel.h"
#include "AppSettings.h"
#include "FileRevealer.h"
#include "FolderContents.h"
#include "GridFocus.h"
#include "SearchRule.h"
#include "UuidText.h"

#include <algorithm>

FolderPanel::FolderPanel(AppSettings& settings, const FolderItem& folder, const AppList& apps,
                         bool startEditing, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_folder(folder)
    , m_apps(apps)
    , m_folderName(folder.name)
    , m_isEditing(startEditing)
    , m_revealLabel(revealLabelFor(QString()))
    , m_folderApps(new AppListModel(this))
    , m_pickerApps(new AppListModel(this)) {
    connect(&m_settings, &AppSettings::foldersChanged, this, &FolderPanel::followStoredFolder);
    // The host may hand over a folder value older than the stored one.
    if (const std::optional<FolderItem> stored = m_settings.folder(m_folder.id)) {
        m_folder = *stored;
        m_folderName = m_folder.name;
    }
    refreshFolderApps();
    refreshPickerApps();
}

FolderPanel::~FolderPanel() = default;

void FolderPanel::setApps(const AppList& apps) {
    m_apps = apps;
    refreshFolderApps();
    refreshPickerApps();
}

QString FolderPanel::folderIdText() const {
    return uuidText(m_folder.id);
}

void FolderPanel::setFolderName(const QString& name) {
    if (name == m_folderName)
        return;
    m_folderName = name;
    Q_EMIT folderNameChanged();
}

void FolderPanel::setShowingAppPicker(bool showing) {
    if (showing == m_showingAppPicker)
        return;
    if (showing)
        setPickerSearchText(QString());
    m_showingAppPicker = showing;
    Q_EMIT showingAppPickerChanged();
}

void FolderPanel::setPickerSearchText(const QString& text) {
    if (text == m_pickerSearchText)
        return;
    m_pickerSearchText = text;
    Q_EMIT pickerSearchTextChanged();
    refreshPickerApps();
}

void FolderPanel::setRevealLabel(const QString& label) {
    if (label == m_revealLabel)
        return;
    m_revealLabel = label;
    Q_EMIT revealLabelChanged();
}

void FolderPanel::saveFolderName() {
    // Only the empty text is refused: a name of spaces is a name.
    if (m_folderName.isEmpty() || m_folderName == m_folder.name)
        return;
    m_settings.renameFolder(m_folder.id, m_folderName);
}

void FolderPanel::beginEditing() {
    setEditing(true);
}

void FolderPanel::commitName() {
    saveFolderName();
    setEditing(false);
    if (m_folderName.isEmpty())
        setFolderName(m_folder.name);
}

void FolderPanel::close() {
    saveFolderName();
    if (!m_closeRequested) {
        m_closeRequested = true;
        Q_EMIT closeRequested();
    }
}

void FolderPanel::togglePicker() {
    setShowingAppPicker(!m_showingAppPicker);
}

void FolderPanel::selectApp(const QString& appId) {
    // A row can outlive a change of the folders by a moment; an application that
    // meanwhile joined some folder is not put into a second one.
    if (const AppItem* app = findApp(appId);
        app && !m_settings.isAppInFolder(app->bundleIdentifier))
        m_settings.addAppToFolder(m_folder.id, app->bundleIdentifier);
    setShowingAppPicker(false);
}

void FolderPanel::launch(const QString& appId) {
    const AppItem* app = findApp(appId);
    if (!app)
        return;
    // Copy first: storing the name makes the host rebuild, which may replace the
    // list.
    const AppItem launched = *app;
    saveFolderName();
    Q_EMIT launchRequested(launched);
}

void FolderPanel::removeApp(const QString& appId) {
    if (const AppItem* app = findApp(appId))
        m_settings.removeAppFromFolder(m_folder.id, app->bundleIdentifier);
}

void FolderPanel::hideApp(const QString& appId) {
    const AppItem* app = findApp(appId);
    if (!app)
        return;
    const AppItem hidden = *app;
    m_settings.hideApp(hidden.bundleIdentifier);
    Q_EMIT hideRequested(hidden);
}

void FolderPanel::reveal(const QString& appId) {
    if (const AppItem* app = findApp(appId))
        Q_EMIT revealRequested(*app);
}

void FolderPanel::followStoredFolder() {
    const std::optional<FolderItem> stored = m_settings.folder(m_folder.id);
    if (!stored) {
        // Emptied by removing its last member, or deleted from the grid.
        setShowingAppPicker(false);
        if (!m_closeRequested) {
            m_closeRequested = true;
            Q_EMIT closeRequested();
        }
        return;
    }
    m_folder = *stored;
    // While the title is being edited the typed text is the user's and stays.
    if (!m_isEditing)
        setFolderName(m_folder.name);
    refreshFolderApps();
    // Candidates depend on every folder, not only this one.
    refreshPickerApps();
}

void FolderPanel::setEditing(bool editing) {
    if (editing == m_isEditing)
        return;
    m_isEditing = editing;
    Q_EMIT isEditingChanged();
}

int FolderPanel::gridHeightFor(qsizetype applications) {
    const qsizetype rows = (applications + gridColumns - 1) / gridColumns;
    return int(std::min<qsizetype>(rows * gridCellHeight, gridMaxHeight));
}

void FolderPanel::refreshFolderApps() {
    const AppList members = ::folderApps(m_folder, m_apps);
    m_folderApps->setApps(members);
    if (members.size() == m_gridCount)
        return;
    const int height = gridHeight();
    m_gridCount = members.size();
    if (gridHeight() != height)
        Q_EMIT gridHeightChanged();
}

void FolderPanel::refreshPickerApps() {
    m_pickerApps->setApps(
        filterApps(pickerCandidates(m_folder, m_apps, m_settings), m_pickerSearchText));
}

const AppItem* FolderPanel::findApp(const QString& appId) const {
    const std::optional<QUuid> id = parseUuidText(appId);
    if (!id)
        return nullptr;
    const auto it = std::find_if(m_apps.cbegin(), m_apps.cend(),
                                 [&](const AppItem& app) { return app.id == *id; });
    return it == m_apps.cend() ? nullptr : &*it;
}

bool FolderPanel::navigate(int key) {
    if (m_isEditing || m_showingAppPicker)
        return false;
    const AppList& apps = m_folderApps->apps();
    const auto ringAt = std::find_if(apps.cbegin(), apps.cend(), [this](const AppItem& app) {
        return uuidText(app.id) == m_focusedAppId;
    });
    const int from = ringAt == apps.cend() ? -1 : int(ringAt - apps.cbegin());
    const bool menuKey =
        key == Qt::Key_Menu || key == QKeyCombination(Qt::ShiftModifier, Qt::Key_F10).toCombined();
    if (menuKey || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (from < 0)
            return false;
        if (menuKey)
            Q_EMIT menuRequested(m_focusedAppId);
        else
            launch(m_focusedAppId);
        return true;
    }
    int to = -1;
    const int count = int(apps.size());
    // Each row is a page of one row to the focus rule, so a step past the end
    // of a row carries on to the next one in reading order.
    const auto step = [&](int dx, int dy) {
        return moveGridFocus(from, 0, dx, dy, count, gridColumns, 1);
    };
    switch (key) {
    case Qt::Key_Left:
        to = step(-1, 0);
        break;
    case Qt::Key_Right:
        to = step(1, 0);
        break;
    case Qt::Key_Up:
        to = step(0, -1);
        break;
    case Qt::Key_Down:
        to = step(0, 1);
        break;
    case Qt::Key_Home:
        to = count > 0 ? 0 : -1;
        break;
    case Qt::Key_End:
        to = count - 1;
        break;
    default:
        return false;
    }
    const QString focused = to >= 0 ? uuidText(apps.at(to).id) : QString();
    if (focused != m_focusedAppId) {
        m_focusedAppId = focused;
        Q_EMIT focusedAppIdChanged();
    }
    return true;
}
