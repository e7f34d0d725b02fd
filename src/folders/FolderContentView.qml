pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls.Basic
import Quorlin
// The module has a GridView of its own (one page of the launcher grid).
import QtQuick as QQ

// The open folder over the launcher: a dimmed backdrop and, centred on it, the
// panel with the editable title, the picker and close buttons, and the
// folder's applications. All behaviour is the panel object's; this file lays
// it out and forwards the user's actions to it.
Item {
    id: root

    required property FolderPanel panel
    readonly property alias titleField: titleField
    readonly property alias picker: picker
    readonly property alias tileMenu: tileMenu

    // Clicks outside the panel's rounded rectangle close it, keeping the name.
    // Neither it nor the panel lets the pointer through: a tile under them
    // would rise as if hovered.
    Rectangle {
        objectName: "folderBackdrop"
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.7)

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.LeftButton | Qt.RightButton
            hoverEnabled: true
            onClicked: root.panel.close()
        }
    }

    // Frosted glass over the desktop picture, with a faint rim: the grid behind
    // it is covered, so none of its icons or names show through.
    FrostedGlass {
        id: card

        objectName: "folderCard"
        anchors.centerIn: parent
        width: 700
        height: content.implicitHeight
        radius: 20
        tint: Qt.rgba(0.32, 0.32, 0.36, 0.55)
        borderColor: Qt.rgba(1, 1, 1, 0.12)
        Accessible.role: Accessible.Dialog
        Accessible.name: root.panel.folderName

        // The panel itself is not part of the backdrop.
        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.LeftButton | Qt.RightButton
            hoverEnabled: true
        }

        Column {
            id: content

            width: parent.width
            topPadding: 40
            bottomPadding: 40
            spacing: 30

            Item {
                id: header

                width: parent.width
                height: Math.max(titleArea.height, plusButton.height)

                Item {
                    id: titleArea

                    x: 40
                    anchors.verticalCenter: parent.verticalCenter
                    // Room left of the buttons for a long name.
                    readonly property real available: plusButton.x - x - 8

                    width: root.panel.isEditing ? titleField.width : titleText.width
                    height: Math.max(titleText.implicitHeight, titleField.implicitHeight)

                    Text {
                        id: titleText

                        objectName: "folderTitle"
                        anchors.verticalCenter: parent.verticalCenter
                        width: Math.min(implicitWidth, titleArea.available)
                        visible: !root.panel.isEditing
                        elide: Text.ElideRight
                        text: root.panel.folderName
                        color: "white"
                        font.pixelSize: 24
                        font.weight: Font.DemiBold
                        // A tap on the name renames the folder; so does a screen reader's press.
                        Accessible.role: Accessible.Button
                        Accessible.name: text
                        Accessible.description: qsTr("Rename Folder")
                        Accessible.onPressAction: root.panel.beginEditing()

                        TapHandler {
                            onTapped: root.panel.beginEditing()
                        }
                    }

                    TextField {
                        id: titleField

                        objectName: "folderTitleField"
                        anchors.verticalCenter: parent.verticalCenter
                        // Up to 300 wide, less when the buttons need the room.
                        width: Math.min(300, titleArea.available)
                        visible: root.panel.isEditing
                        text: root.panel.folderName
                        placeholderText: qsTr("Folder Name")
                        placeholderTextColor: Qt.rgba(1, 1, 1, 0.35)
                        color: "white"
                        font: titleText.font
                        padding: 0
                        background: null
                        selectByMouse: true
                        onTextEdited: root.panel.folderName = text
                        onAccepted: root.panel.commitName()
                        Accessible.name: placeholderText
                        // Typing must land here, not in the launcher's search
                        // field behind the panel, which would narrow the folder.
                        onVisibleChanged: if (visible)
                            forceActiveFocus()
                        Component.onCompleted: if (visible)
                            forceActiveFocus()
                    }
                }

                HeaderButton {
                    id: closeButton

                    objectName: "folderCloseButton"
                    anchors.right: parent.right
                    anchors.rightMargin: 40
                    anchors.verticalCenter: parent.verticalCenter
                    source: "image://symbol/folders/icons/xmark-circle-fill.svg"
                    onClicked: root.panel.close()
                    Accessible.name: qsTr("Close Folder")
                }

                HeaderButton {
                    id: plusButton

                    objectName: "folderAddButton"
                    anchors.right: closeButton.left
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    source: "image://symbol/folders/icons/plus-circle-fill.svg"
                    onClicked: root.panel.togglePicker()
                    Accessible.name: qsTr("Add Applications")

                    PickerPopup {
                        id: picker

                        panel: root.panel
                    }
                }
            }

            QQ.GridView {
                id: appGrid

                objectName: "folderAppGrid"
                // Five columns of 108 with 20 between them inside 40 of
                // padding: cells of 128 whose centres fall where those columns'
                // centres are. As high as its rows, so a small folder makes a
                // small panel; many rows scroll.
                x: 30
                width: 640
                height: root.panel.gridHeight
                cellWidth: 128
                cellHeight: 140
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: root.panel.folderApps
                ScrollBar.vertical: ScrollBar {
                    policy: ScrollBar.AsNeeded
                }

                delegate: Item {
                    id: cell

                    required property int index
                    required property string appId
                    required property string name
                    required property string iconSource

                    objectName: "folderAppCell"
                    width: 128
                    height: 110
                    Accessible.role: Accessible.Button
                    Accessible.name: cell.name
                    Accessible.onPressAction: root.panel.launch(cell.appId)

                    // The keyboard's focus ring, as on the grid's tiles.
                    Rectangle {
                        objectName: "folderFocusRing"
                        anchors.centerIn: parent
                        width: 120
                        height: parent.height
                        radius: 20
                        color: Qt.rgba(1, 1, 1, 0.12)
                        border.color: "white"
                        border.width: 2
                        visible: cell.appId === root.panel.focusedAppId
                        onVisibleChanged: if (visible)
                            appGrid.positionViewAtIndex(cell.index, QQ.GridView.Contain)
                    }

                    AppIconView {
                        anchors.horizontalCenter: parent.horizontalCenter
                        name: cell.name
                        iconSource: cell.iconSource
                        isEditMode: false
                    }

                    MouseArea {
                        anchors.fill: parent
                        acceptedButtons: Qt.LeftButton | Qt.RightButton
                        onClicked: mouse => {
                            if (mouse.button === Qt.RightButton)
                                tileMenu.openFor(cell.appId, mapToItem(root, mouse.x, mouse.y));
                            else
                                root.panel.launch(cell.appId);
                        }
                    }
                }
            }
        }
    }

    // The Menu key opens the tile menu over the application under the keyboard's ring.
    Connections {
        target: root.panel
        function onMenuRequested(appId) {
            for (let i = 0; i < appGrid.count; ++i) {
                const item = appGrid.itemAtIndex(i);
                if (item && item.appId === appId)
                    tileMenu.openFor(appId, item.mapToItem(root, item.width / 2, item.height / 2));
            }
        }
    }

    Menu {
        id: tileMenu

        property string appId

        // Opens at the click, which the pointer's global position may not be
        // (synthetic clicks, touch).
        function openFor(appId, position) {
            tileMenu.appId = appId;
            popup(position.x, position.y);
        }

        MenuItem {
            text: qsTr("Remove from Folder")
            Accessible.name: text
            onTriggered: root.panel.removeApp(tileMenu.appId)
        }
        MenuItem {
            text: qsTr("Hide App")
            Accessible.name: text
            onTriggered: root.panel.hideApp(tileMenu.appId)
        }
        MenuSeparator {
        }
        MenuItem {
            text: root.panel.revealLabel
            Accessible.name: text
            onTriggered: root.panel.reveal(tileMenu.appId)
        }
    }
}
