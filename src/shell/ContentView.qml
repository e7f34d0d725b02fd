import QtQuick
import Quorlin

// The launcher's main screen: the desktop picture behind a header with the search
// bar and the edit button, and below it the loading message, the grid or the
// empty message, as the MainScreen says.
Item {
    id: root

    required property MainScreen mainScreen

    // Always dark, whatever the desktop's theme: menus and fields sit on the
    // dimmed picture and take these colours from here.
    palette.window: "#2c2c2e"
    palette.windowText: "white"
    palette.base: "#2c2c2e"
    palette.alternateBase: "#3a3a3c"
    palette.text: "white"
    palette.button: "#3a3a3c"
    palette.buttonText: "white"
    palette.brightText: "white"
    palette.light: "#48484a"
    palette.midlight: "#3a3a3c"
    palette.mid: "#636366"
    palette.dark: "#1c1c1e"
    palette.shadow: "black"
    palette.highlight: "#0a84ff"
    palette.highlightedText: "white"
    palette.placeholderText: Qt.rgba(1, 1, 1, 0.45)
    palette.toolTipBase: "#2c2c2e"
    palette.toolTipText: "white"

    // Puts the keyboard focus back into the search field.
    function focusSearch() {
        searchBar.focusField();
    }

    DesktopBackgroundView {
        anchors.fill: parent
        background: root.mainScreen.background
    }

    Item {
        id: header

        anchors.top: parent.top
        anchors.topMargin: 30
        anchors.left: parent.left
        anchors.leftMargin: 80
        anchors.right: parent.right
        anchors.rightMargin: 80
        height: Math.max(searchSlot.height, editButton.height)

        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            anchors.verticalCenter: parent.verticalCenter
            spacing: 20

            // A slot up to 400 wide; the bar keeps its own size in the middle of it.
            Item {
                id: searchSlot

                anchors.verticalCenter: parent.verticalCenter
                width: Math.max(0, Math.min(400, header.width - 20 - editButton.width))
                height: searchBar.height

                SearchBar {
                    id: searchBar

                    anchors.centerIn: parent
                    text: root.mainScreen.searchText
                    mayTakeFocus: !root.mainScreen.showDeleteConfirmation
                    onEdited: text => root.mainScreen.searchText = text
                }
            }

            EditButton {
                id: editButton

                anchors.verticalCenter: parent.verticalCenter
                objectName: "editButton"
                editing: root.mainScreen.isEditMode
                keyboardFocus: root.mainScreen.editButtonFocused
                label: root.mainScreen.editButtonText
                onClicked: root.mainScreen.toggleEditMode()
            }

            // In edit mode, the way back for what was hidden: a list to unhide from.
            EditButton {
                id: hiddenAppsButton

                // Made the first time it opens, from a file of its own, rather
                // than at every start; this screen stays free of Qt Quick Controls.
                property QtObject list: null

                objectName: "hiddenAppsButton"
                anchors.verticalCenter: parent.verticalCenter
                visible: root.mainScreen.isEditMode && root.mainScreen.hiddenApps.count > 0
                label: qsTr("Hidden Apps")

                onClicked: {
                    if (!list)
                        list = Qt.createComponent("HiddenAppsList.qml").createObject(hiddenAppsButton, {
                            "mainScreen": root.mainScreen
                        });
                    list.visible ? list.close() : list.open();
                }
                onVisibleChanged: if (!visible && list)
                    list.close()
            }
        }
    }

    Item {
        id: contentArea

        objectName: "contentArea"
        anchors.top: header.bottom
        anchors.topMargin: 15
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom

        // Made only while loading: a spinner that is merely hidden keeps its
        // animation, and so a repaint of the whole window, running for good.
        Loader {
            objectName: "loadingState"
            anchors.centerIn: parent
            active: root.mainScreen.contentState === MainScreen.Loading
            visible: active
            sourceComponent: Column {
                spacing: 15

                // Eight ticks around a circle, brightest first, stepping round.
                Item {
                    id: spinner

                    property int step: 0

                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 24
                    height: 24
                    rotation: step * 45

                    NumberAnimation on step {
                        from: 0
                        to: 8
                        duration: 800
                        loops: Animation.Infinite
                    }

                    Repeater {
                        model: 8

                        Rectangle {
                            required property int index

                            x: (spinner.width - width) / 2
                            width: 2.5
                            height: 7
                            radius: width / 2
                            color: "white"
                            opacity: 1 - index * 0.1
                            transform: Rotation {
                                origin.x: 1.25
                                origin.y: spinner.height / 2
                                angle: -index * 45
                            }
                        }
                    }
                }

                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: root.mainScreen.loadingText
                    color: "white"
                    opacity: 0.8
                    font.pixelSize: 14
                }
            }
        }

        Loader {
            objectName: "gridState"
            anchors.fill: parent
            active: root.mainScreen.contentState === MainScreen.Grid
            sourceComponent: PagedGridView {
                grid: root.mainScreen.grid
                isEditMode: root.mainScreen.isEditMode
            }
        }

        Column {
            objectName: "emptyState"
            anchors.centerIn: parent
            spacing: 16
            visible: root.mainScreen.contentState === MainScreen.Empty

            Image {
                objectName: "emptySymbol"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 60
                height: 60
                sourceSize: Qt.size(120, 120)
                // Read only when the empty state is shown, not at every start.
                source: parent.visible ? root.mainScreen.emptySymbolSource : ""
                opacity: 0.3
            }

            Text {
                objectName: "emptyText"
                anchors.horizontalCenter: parent.horizontalCenter
                text: root.mainScreen.emptyText
                textFormat: Text.PlainText
                color: "white"
                opacity: 0.6
                font.pixelSize: 18
            }
        }
    }

    // A launch that failed, told under the search field over whatever is there.
    Text {
        id: launchError

        readonly property string message: root.mainScreen.launchError

        objectName: "launchError"
        anchors.top: header.bottom
        anchors.topMargin: 4
        // Centred under the search bar, which sits left of the header's middle
        // by half of the edit button and the gap beside it.
        anchors.horizontalCenter: header.horizontalCenter
        anchors.horizontalCenterOffset: -(editButton.width + 20) / 2
        // The last message stays while it fades out.
        onMessageChanged: if (message)
            text = message
        textFormat: Text.PlainText
        color: "white"
        style: Text.Outline
        styleColor: Qt.rgba(0, 0, 0, 0.4)
        font.pixelSize: 13
        opacity: message ? 0.9 : 0
        visible: opacity > 0

        Behavior on opacity {
            NumberAnimation {
                duration: 400
            }
        }
    }

    // The confirmation is made the first time a deletion asks for it, from a
    // file of its own rather than at every start; it opens itself as it is made.
    property QtObject deleteAlert: null

    Connections {
        target: root.mainScreen
        function onShowDeleteConfirmationChanged() {
            if (!root.mainScreen.showDeleteConfirmation || root.deleteAlert)
                return;
            // Made outside the main screen's items: until it is moved into the
            // window's overlay, its keys would otherwise count as the grid's.
            root.deleteAlert = Qt.createComponent("DeleteAlert.qml").createObject(root.Window.contentItem, {
                "mainScreen": root.mainScreen
            });
        }
    }

    // Ends with this view, so an alert closing as the view goes calls nothing of it.
    Connections {
        target: root.deleteAlert
        function onClosed() {
            root.focusSearch();
        }
    }
}
