import QtQuick
import Quorlin
import QtQuick.Controls.Basic
import QtQuick.Templates as T

// The confirmation before an application goes to the Trash. It follows the main
// screen's showDeleteConfirmation; Escape and Cancel both cancel.
Popup {
    id: root

    required property MainScreen mainScreen

    objectName: "deleteAlert"
    parent: T.Overlay.overlay
    anchors.centerIn: parent
    width: 280
    modal: true
    focus: true
    closePolicy: Popup.CloseOnEscape
    padding: 20

    onClosed: mainScreen.cancelDelete()
    Component.onCompleted: if (mainScreen.showDeleteConfirmation)
        open()
    // The keyboard starts on the harmless choice; the arrows go between the two.
    onOpened: cancelButton.forceActiveFocus(Qt.TabFocusReason)

    Connections {
        target: root.mainScreen
        function onShowDeleteConfirmationChanged() {
            if (root.mainScreen.showDeleteConfirmation)
                root.open();
            else
                root.close();
        }
    }

    T.Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.25)
    }

    background: Rectangle {
        radius: 12
        color: "#2c2c2e"
        border.width: 1
        border.color: Qt.rgba(1, 1, 1, 0.12)
    }

    contentItem: Column {
        spacing: 14
        Accessible.role: Accessible.Dialog
        Accessible.name: root.mainScreen.deleteTitle
        Accessible.description: root.mainScreen.deleteMessage

        Text {
            objectName: "deleteTitle"
            width: parent.width
            text: root.mainScreen.deleteTitle
            color: "white"
            font.pixelSize: 13
            font.weight: Font.Bold
            horizontalAlignment: Text.AlignHCenter
        }

        Text {
            objectName: "deleteMessage"
            width: parent.width
            visible: text.length > 0
            text: root.mainScreen.deleteMessage
            textFormat: Text.PlainText
            color: Qt.rgba(1, 1, 1, 0.85)
            font.pixelSize: 11
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
        }

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 10

            AlertButton {
                id: cancelButton

                objectName: "cancelButton"
                label: qsTr("Cancel")
                KeyNavigation.right: deleteButton
                onClicked: root.close()
            }

            AlertButton {
                id: deleteButton

                objectName: "deleteButton"
                label: qsTr("Delete")
                KeyNavigation.left: cancelButton
                destructive: true
                onClicked: root.mainScreen.confirmDelete()
            }
        }
    }
}
