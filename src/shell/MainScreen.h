#pragma once

#include "AppItem.h"

#include <QFuture>
#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <optional>

class AppDiscovery;
class AppLauncher;
class AppSettings;
class DesktopBackground;
class FileRevealer;
class HiddenApps;
class PagedGrid;
class QTimer;

// The behaviour of the launcher's main screen: the catalogue narrowed by the
// search text, which of the loading, grid or empty states shows, edit mode, and
// what becomes of the grid's requests (launch, hide, move, reveal, delete after
// a confirmation). The QML ContentView draws it.
class MainScreen : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the main screen")
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(bool isEditMode READ isEditMode WRITE setEditMode NOTIFY isEditModeChanged)
    Q_PROPERTY(QString editButtonText READ editButtonText NOTIFY isEditModeChanged)
    Q_PROPERTY(ContentState contentState READ contentState NOTIFY contentStateChanged)
    Q_PROPERTY(QString loadingText READ loadingText CONSTANT)
    Q_PROPERTY(QString emptySymbol READ emptySymbol NOTIFY emptyStateChanged)
    Q_PROPERTY(QUrl emptySymbolSource READ emptySymbolSource NOTIFY emptyStateChanged)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY emptyStateChanged)
    Q_PROPERTY(bool showDeleteConfirmation READ showDeleteConfirmation WRITE
                   setShowDeleteConfirmation NOTIFY showDeleteConfirmationChanged)
    Q_PROPERTY(QString deleteTitle READ deleteTitle CONSTANT)
    Q_PROPERTY(QString deleteMessage READ deleteMessage NOTIFY deleteMessageChanged)
    Q_PROPERTY(QString launchError READ launchError NOTIFY launchErrorChanged)
    Q_PROPERTY(PagedGrid* grid READ grid CONSTANT)
    Q_PROPERTY(HiddenApps* hiddenApps READ hiddenApps CONSTANT)
    // The keyboard is on the Edit button (its ring shows; Return or Space press it).
    Q_PROPERTY(bool editButtonFocused READ editButtonFocused NOTIFY editButtonFocusedChanged)
    Q_PROPERTY(DesktopBackground* background READ background CONSTANT)

public:
    enum class ContentState { Loading, Grid, Empty };
    Q_ENUM(ContentState)

    // The grid always shows this many cells per page, whatever the window size.
    static constexpr int gridColumns = 7;
    static constexpr int gridRows = 5;
    // How long a launched application has to come up before the launcher goes.
    static constexpr int launchHideDelayMs = 200;
    // The launcher goes only once the launch has answered that it started; an
    // answer that is this late (GIO still indexing) is not waited for.
    static constexpr int launchAnswerWaitMs = 2000;
    // How long the word that a launch failed stays under the search field.
    static constexpr int launchErrorMs = 3000;

    // Every reference must outlive the screen.
    MainScreen(AppSettings& settings, AppDiscovery& discovery, AppLauncher& launcher,
               FileRevealer& revealer, DesktopBackground& background, QObject* parent = nullptr);
    ~MainScreen() override;

    // The screen came on screen: load the desktop picture and scan the catalogue.
    void appear();

    [[nodiscard]] const QString& searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    // Deferred, a search's text changes at once and the grid narrows only on
    // applyPendingSearch(), which searchDeferred() asks for (see TypedTextFirst.h).
    void setDefersSearch(bool defers) { m_defersSearch = defers; }
    // Narrows the grid to the search text, if a keystroke left that to do.
    void applyPendingSearch();
    [[nodiscard]] bool isEditMode() const { return m_isEditMode; }
    void setEditMode(bool editMode);
    Q_INVOKABLE void toggleEditMode();
    [[nodiscard]] QString editButtonText() const;

    // The published catalogue narrowed by the search text, in catalogue order.
    [[nodiscard]] const AppList& filteredApps() const { return m_filteredApps; }
    [[nodiscard]] ContentState contentState() const;
    [[nodiscard]] static QString loadingText();
    // The symbol of the empty state, by its symbol name and as an image.
    [[nodiscard]] QString emptySymbol() const;
    [[nodiscard]] QUrl emptySymbolSource() const;
    [[nodiscard]] QString emptyText() const;

    [[nodiscard]] PagedGrid* grid() const { return m_grid; }
    [[nodiscard]] HiddenApps* hiddenApps() const { return m_hiddenApps; }
    [[nodiscard]] DesktopBackground* background() const { return &m_background; }

    // What became of the last launch that failed, while it is told; else empty.
    [[nodiscard]] const QString& launchError() const { return m_launchError; }

    // The grid's requests.
    void launch(const AppItem& app);
    void launchAction(const AppItem& app, const QString& actionId);
    void hideApp(const AppItem& app);
    // Positions in filteredApps(), carried over to the catalogue by identity.
    void moveApp(int from, int to);
    void reveal(const AppItem& app);
    void requestDelete(const AppItem& app);

    // The delete confirmation.
    [[nodiscard]] bool showDeleteConfirmation() const { return m_showDeleteConfirmation; }
    void setShowDeleteConfirmation(bool show);
    [[nodiscard]] const std::optional<AppItem>& appToDelete() const { return m_appToDelete; }
    [[nodiscard]] static QString deleteTitle();
    [[nodiscard]] QString deleteMessage() const;
    Q_INVOKABLE void confirmDelete();
    Q_INVOKABLE void cancelDelete();

    // Escape on the main screen.
    void handleEscape();

    // A key pressed on the main screen, whatever control has the focus; whether
    // it was taken. Tab and Shift+Tab go round the search field, the grid (its
    // ring) and the Edit button; the search field keeps the typing throughout,
    // so letters always search. Other keys go to the grid (see PagedGrid::navigate).
    bool navigate(int key);
    [[nodiscard]] bool editButtonFocused() const { return m_editButtonFocused; }
    // Each showing of the launcher starts with the keyboard in the search field.
    void resetKeyboardFocus();

Q_SIGNALS:
    void searchTextChanged();
    // The search text changed; the grid waits for applyPendingSearch().
    void searchDeferred();
    void isEditModeChanged();
    void contentStateChanged();
    void emptyStateChanged();
    void filteredAppsChanged();
    void showDeleteConfirmationChanged();
    void deleteMessageChanged();
    void launchErrorChanged();
    void editButtonFocusedChanged();
    // The launcher should go out of sight (after a launch, or on Escape).
    void hideLauncherRequested();

private:
    void refilter();
    void updateContentState();
    void setLaunchError(const QString& error);
    void setEditButtonFocused(bool focused);
    // Hides once the launch has answered that it started; says so when not.
    void followLaunch(const QString& name, const QFuture<QString>& answer);

    AppSettings& m_settings;
    AppDiscovery& m_discovery;
    AppLauncher& m_launcher;
    FileRevealer& m_revealer;
    DesktopBackground& m_background;
    PagedGrid* m_grid;
    HiddenApps* m_hiddenApps;

    QString m_searchText;
    bool m_defersSearch = false;
    bool m_searchPending = false;
    bool m_isEditMode = false;
    AppList m_filteredApps;
    ContentState m_contentState = ContentState::Empty;
    bool m_showDeleteConfirmation = false;
    std::optional<AppItem> m_appToDelete;
    QString m_launchError;
    bool m_editButtonFocused = false;
    QTimer* m_launchErrorTimer;
};
