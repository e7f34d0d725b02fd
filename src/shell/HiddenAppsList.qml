import QtQuick
import QtQuick.Controls.Basic
import Quorlin

// In edit mode, the way back for what was hidden: a list under the Hidden Apps
// button to unhide from, on the folder picker's glass (the grid does not show
// through).
Popup {
    id: root

    required property MainScreen mainScreen

    objectName: "hiddenAppsPopup"
    x: Math.round((parent.width - width) / 2)
    y: parent.height + 8
    padding: 0
    focus: true
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
    onOpened: root.mainScreen.hiddenApps.searchText = ""
    background: FrostedGlass {
        radius: 10
        tint: Qt.rgba(0.16, 0.16, 0.18, 0.8)
        borderColor: Qt.rgba(1, 1, 1, 0.15)
    }
    contentItem: AppPickerView {
        apps: root.mainScreen.hiddenApps.apps
        searchText: root.mainScreen.hiddenApps.searchText
        onSearchEdited: text => root.mainScreen.hiddenApps.searchText = text
        onSelectApp: appId => root.mainScreen.hiddenApps.unhide(appId)
    }
}
