import QtQuick
import Quorlin

// "Edit" / "Done": a label on a small rounded plate, blue while editing. A plain
// item rather than a styled Controls button, which costs more to make at every
// start. A click does not take the keyboard away from the search field.
Item {
    id: root

    property bool editing
    property string label
    // The keyboard is on the button (the search field keeps the typing).
    property bool keyboardFocus

    signal clicked

    implicitWidth: labelText.implicitWidth + 40
    implicitHeight: labelText.implicitHeight + 16
    width: implicitWidth
    height: implicitHeight
    Accessible.role: Accessible.Button
    Accessible.name: label
    Accessible.onPressAction: root.clicked()

    SoftShadow {
        target: plate
        radius: plate.radius
        color: "black"
        // The shadow of a translucent plate is as faint as the plate.
        strength: root.editing ? 0.2 : 0.2 * 0.2
        blur: 4
    }

    Rectangle {
        id: plate

        anchors.fill: parent
        radius: 8
        // The desktop's accent blue in its dark appearance.
        color: root.editing ? "#0a84ff" : Qt.rgba(1, 1, 1, 0.2)
        border.width: root.keyboardFocus ? 2 : 0
        border.color: root.editing ? "white" : "#0a84ff"
    }

    Text {
        id: labelText

        objectName: "editButtonLabel"
        anchors.fill: parent
        text: root.label
        color: "white"
        font.pixelSize: 14
        font.weight: Font.DemiBold
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    MouseArea {
        anchors.fill: parent
        onClicked: root.clicked()
    }
}
