import QtQuick
import QtQuick.Controls.Basic
import Quorlin

// The application picker as a popover hanging under its button, with a small
// arrow pointing at it. It is built afresh each time it opens, so every
// opening starts with an empty search.
Popup {
    id: root

    required property FolderPanel panel
    readonly property Item pickerView: loader.item

    readonly property real arrowSize: 10

    x: Math.round((parent.width - width) / 2)
    y: parent.height + 4
    padding: 0
    topPadding: arrowSize
    // Pressing the button itself toggles the popover; every other press outside
    // it closes the popover.
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
    focus: true
    visible: root.panel.showingAppPicker
    onClosed: root.panel.showingAppPicker = false

    // The same glass as the panel's, with an arrow pointing at the button.
    background: FrostedGlass {
        arrowSize: root.arrowSize
        radius: 10
        tint: Qt.rgba(0.16, 0.16, 0.18, 0.8)
        borderColor: Qt.rgba(1, 1, 1, 0.15)
    }

    contentItem: Loader {
        id: loader

        active: root.visible
        // A loader is a focus scope: the search field gets the keys only
        // through it.
        focus: true

        sourceComponent: AppPickerView {
            apps: root.panel.pickerApps
            searchText: root.panel.pickerSearchText
            onSearchEdited: text => root.panel.pickerSearchText = text
            onSelectApp: appId => root.panel.selectApp(appId)
        }
    }
}
