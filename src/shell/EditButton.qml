import QtQuick
import Quorlin
import QtQuick.Controls

// "Edit" / "Done": a label on a small rounded plate, blue while editing.
AbstractButton {
    id: root

    property bool editing
    property string label
    // The keyboard is on the button (the search field keeps the typing).
    property bool keyboardFocus

    // A click must not take the keyboard away from the search field.
    focusPolicy: Qt.NoFocus
    implicitWidth: labelText.implicitWidth + 40
    implicitHeight: labelText.implicitHeight + 16
    Accessible.name: label

    SoftShadow {
        target: plate
        radius: plate.radius
        color: "black"
        // The shadow of a translucent plate is as faint as the plate.
        strength: root.editing ? 0.2 : 0.2 * 0.2
        blur: 4
    }

    background: Rectangle {
        id: plate

        radius: 8
        // The desktop's accent blue in its dark appearance.
        color: root.editing ? "#0a84ff" : Qt.rgba(1, 1, 1, 0.2)
        border.width: root.keyboardFocus ? 2 : 0
        border.color: root.editing ? "white" : "#0a84ff"
    }

    contentItem: Text {
        id: labelText

        objectName: "editButtonLabel"
        text: root.label
        color: "white"
        font.pixelSize: 14
        font.weight: Font.DemiBold
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
