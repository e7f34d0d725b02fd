import QtQuick
import QtQuick.Controls
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

    background: Item {
        Rectangle {
            // The arrow: a rotated square half hidden under the body.
            x: (parent.width - width) / 2
            y: root.arrowSize / 2 + 1
            width: root.arrowSize * 1.5
            height: width
            rotation: 45
            color: body.color
            border.color: body.border.color
        }

        Rectangle {
            id: body

            y: root.arrowSize
            width: parent.width
            height: parent.height - root.arrowSize
            radius: 10
            color: Qt.rgba(0.16, 0.16, 0.18, 0.97)
            border.color: Qt.rgba(1, 1, 1, 0.15)
        }

        Rectangle {
            // Covers the arrow's base so it joins the body without a seam.
            x: (parent.width - width) / 2
            y: root.arrowSize + 1
            width: root.arrowSize * 2.4
            height: root.arrowSize
            color: body.color
        }
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
