#pragma once

#include "AppItem.h"
#include "FolderItem.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class AppListModel;
class AppSettings;

// The open folder's panel: its editable title, the application picker and the
// folder's applications. It follows the stored folder, so members added or
// removed show at once; when the folder stops being stored the panel asks to be
// closed. Name and membership changes go straight to the settings; launching,
// revealing, hiding and closing are requests for the host.
class FolderPanel : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("A folder panel is opened by the grid")
    Q_PROPERTY(QString folderId READ folderIdText CONSTANT)
    Q_PROPERTY(QString folderName READ folderName WRITE setFolderName NOTIFY folderNameChanged)
    Q_PROPERTY(bool isEditing READ isEditing NOTIFY isEditingChanged)
    Q_PROPERTY(bool showingAppPicker READ showingAppPicker WRITE setShowingAppPicker NOTIFY
                   showingAppPickerChanged)
    Q_PROPERTY(AppListModel* folderApps READ folderAppsModel CONSTANT)
    Q_PROPERTY(AppListModel* pickerApps READ pickerAppsModel CONSTANT)
    Q_PROPERTY(QString pickerSearchText READ pickerSearchText WRITE setPickerSearchText NOTIFY
                   pickerSearchTextChanged)
    Q_PROPERTY(QString revealLabel READ revealLabel WRITE setRevealLabel NOTIFY revealLabelChanged)
    Q_PROPERTY(int gridHeight READ gridHeight NOTIFY gridHeightChanged)
    // The application under the keyboard's focus ring, "" while there is none.
    Q_PROPERTY(QString focusedAppId READ focusedAppId NOTIFY focusedAppIdChanged)

public:
    // The application grid's cells, as the view lays them out.
    static constexpr int gridColumns = 5;
    static constexpr int gridCellHeight = 140;
    // Taller folders scroll inside this height.
    static constexpr int gridMaxHeight = 500;

    // `startEditing` opens the title in its text field, as "Rename Folder" does.
    FolderPanel(AppSettings& settings, const FolderItem& folder, const AppList& apps,
                bool startEditing, QObject* parent = nullptr);
    ~FolderPanel() override;

    // The list the grid shows; members and candidates are resolved against it.
    void setApps(const AppList& apps);

    // The folder as last stored (or as handed over, once it is gone).
    [[nodiscard]] const FolderItem& folder() const { return m_folder; }
    [[nodiscard]] QString folderIdText() const;

    [[nodiscard]] const QString& folderName() const { return m_folderName; }
    void setFolderName(const QString& name);

    [[nodiscard]] bool isEditing() const { return m_isEditing; }

    [[nodiscard]] bool showingAppPicker() const { return m_showingAppPicker; }
    // Opening the picker starts it with an empty search, as a fresh popover
    // would.
    void setShowingAppPicker(bool showing);

    [[nodiscard]] AppListModel* folderAppsModel() const { return m_folderApps; }
    [[nodiscard]] AppListModel* pickerAppsModel() const { return m_pickerApps; }

    [[nodiscard]] const QString& pickerSearchText() const { return m_pickerSearchText; }
    void setPickerSearchText(const QString& text);

    [[nodiscard]] const QString& revealLabel() const { return m_revealLabel; }
    void setRevealLabel(const QString& label);

    // The grid is as high as its rows of applications, up to gridMaxHeight.
    [[nodiscard]] int gridHeight() const { return gridHeightFor(m_gridCount); }
    [[nodiscard]] static int gridHeightFor(qsizetype applications);

    // Stores the edited name unless it is empty or already the stored one.
    Q_INVOKABLE void saveFolderName();
    Q_INVOKABLE void beginEditing();
    // Return in the title field: store, then leave editing. An empty name is not
    // stored, and the title shows the stored name again.
    Q_INVOKABLE void commitName();
    // The backdrop and the close button: the edited name is kept, not dropped.
    Q_INVOKABLE void close();
    Q_INVOKABLE void togglePicker();
    Q_INVOKABLE void selectApp(const QString& appId);
    // Launching closes the panel through the host; the edited name is stored
    // first, as on every other way out.
    Q_INVOKABLE void launch(const QString& appId);
    Q_INVOKABLE void removeApp(const QString& appId);
    // Records the application as hidden and asks the host to rebuild the
    // catalogue, so it leaves the panel and the grid at once.
    Q_INVOKABLE void hideApp(const QString& appId);
    Q_INVOKABLE void reveal(const QString& appId);

    [[nodiscard]] const QString& focusedAppId() const { return m_focusedAppId; }
    // A key pressed while the panel is open; whether it was taken. The arrows
    // bring the ring and move it in reading order (Right at the end of a row
    // goes on to the next), Home and End go to the first and last application,
    // Return and Enter launch the ring's application, the Menu key and Shift+F10
    // ask for its menu. The title being edited and the picker keep their keys.
    bool navigate(int key);

Q_SIGNALS:
    void folderNameChanged();
    void isEditingChanged();
    void showingAppPickerChanged();
    void pickerSearchTextChanged();
    void revealLabelChanged();
    void gridHeightChanged();
    void focusedAppIdChanged();
    void menuRequested(const QString& appId);
    void closeRequested();
    void launchRequested(const AppItem& app);
    void revealRequested(const AppItem& app);
    void hideRequested(const AppItem& app);

private:
    void followStoredFolder();
    void setEditing(bool editing);
    void refreshFolderApps();
    void refreshPickerApps();
    [[nodiscard]] const AppItem* findApp(const QString& appId) const;

    AppSettings& m_settings;
    FolderItem m_folder;
    AppList m_apps;
    QString m_folderName;
    bool m_isEditing = false;
    bool m_showingAppPicker = false;
    // The host is asked to close the panel once, whichever way out came first.
    bool m_closeRequested = false;
    QString m_pickerSearchText;
    QString m_revealLabel;
    QString m_focusedAppId;
    qsizetype m_gridCount = 0;
    AppListModel* m_folderApps;
    AppListModel* m_pickerApps;
};
