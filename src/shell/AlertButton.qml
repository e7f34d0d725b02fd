import QtQuick
import Quorlin
import QtQuick.Controls.Basic

// One button of the delete alert; destructive ones say so in red.
AbstractButton {
    id: root

    property string label
    property bool destructive

    implicitWidth: 110
    implicitHeight: 28
    focusPolicy: Qt.TabFocus
    Accessible.name: label
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()

    background: Rectangle {
        radius: 6
        color: root.down ? Qt.rgba(1, 1, 1, 0.28) : root.hovered ? Qt.rgba(1, 1, 1, 0.2) : Qt.rgba(1, 1, 1, 0.14)
        border.width: root.visualFocus ? 2 : 0
        border.color: "#0a84ff"
    }

    contentItem: Text {
        text: root.label
        color: root.destructive ? "#ff453a" : "white"
        font.pixelSize: 13
        font.weight: root.destructive ? Font.DemiBold : Font.Normal
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
