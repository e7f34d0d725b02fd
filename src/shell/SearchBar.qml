import QtQuick
import Quorlin

// The glass search capsule: a magnifier, the field and, while there is text, a
// button that clears it. The host owns the text: the bar shows `text` and tells
// of every change the user makes through edited().
Item {
    id: root

    property string text
    readonly property alias fieldHasFocus: field.activeFocus
    // How long after coming on screen the field takes the keyboard.
    property int focusDelay: 100
    // False while something over the screen (the delete confirmation) holds
    // the keyboard: the delayed take-over must not pull it away from there.
    property bool mayTakeFocus: true

    signal edited(string text)

    function focusField() {
        field.forceActiveFocus();
    }

    width: 280
    height: 32

    onVisibleChanged: if (visible) focusTimer.restart()
    Component.onCompleted: focusTimer.start()

    Timer {
        id: focusTimer

        interval: root.focusDelay
        onTriggered: if (root.mayTakeFocus)
            root.focusField()
    }

    // The launcher's window comes back on screen each time it is shown again.
    Connections {
        target: root.Window.window
        function onVisibleChanged() {
            if (root.Window.window.visible)
                focusTimer.restart();
        }
    }

    SoftShadow {
        target: capsule
        radius: height / 2
        color: "black"
        strength: 0.2 * 0.15
        blur: 4
        offsetY: 2
    }

    GlassCapsule {
        id: capsule

        anchors.centerIn: parent
        width: parent.width
        height: row.implicitHeight + 12
        radius: 20
    }

    Row {
        id: row

        anchors.left: capsule.left
        anchors.leftMargin: 14
        anchors.right: capsule.right
        anchors.rightMargin: 14
        anchors.verticalCenter: capsule.verticalCenter
        spacing: 8

        Image {
            objectName: "magnifier"
            anchors.verticalCenter: parent.verticalCenter
            width: 13
            height: 13
            sourceSize: Qt.size(26, 26)
            source: "image://symbol/shell/icons/magnifyingglass.svg"
            opacity: 0.5
        }

        // A bare text input with its own placeholder: a styled Controls text field
        // costs every start several milliseconds more to make, for no visible difference.
        TextInput {
            id: field

            objectName: "searchField"
            anchors.verticalCenter: parent.verticalCenter
            width: row.width - 13 - row.spacing - (clearButton.visible ? clearButton.width + row.spacing : 0)
            leftPadding: 4
            verticalAlignment: TextInput.AlignVCenter
            color: "white"
            selectionColor: Qt.rgba(0.04, 0.52, 1, 0.6)
            selectedTextColor: "white"
            font.pixelSize: 13
            selectByMouse: true
            text: root.text
            onTextEdited: root.edited(text)
            Accessible.name: placeholder.text
            Accessible.searchEdit: true

            Text {
                id: placeholder

                x: field.leftPadding
                width: field.width - field.leftPadding
                height: field.height
                text: qsTr("Search")
                font: field.font
                color: Qt.rgba(1, 1, 1, 0.45)
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                visible: !field.length && !field.preeditText
            }
        }

        Item {
            id: clearButton

            objectName: "clearButton"
            anchors.verticalCenter: parent.verticalCenter
            width: 13
            height: 13
            visible: false
            scale: 0.00001
            opacity: 0
            Accessible.role: Accessible.Button
            Accessible.name: qsTr("Clear Search")
            Accessible.onPressAction: root.edited("")

            Image {
                anchors.fill: parent
                sourceSize: Qt.size(26, 26)
                source: "image://symbol/shell/icons/xmark-circle-fill.svg"
                opacity: 0.4
            }
            MouseArea {
                anchors.fill: parent
                onClicked: root.edited("")
            }

            states: State {
                name: "shown"
                when: root.text.length > 0

                PropertyChanges {
                    clearButton.visible: true
                    clearButton.scale: 1
                    clearButton.opacity: 1
                }
            }
            transitions: [
                Transition {
                    to: "shown"

                    SequentialAnimation {
                        PropertyAction {
                            property: "visible"
                        }
                        NumberAnimation {
                            properties: "scale,opacity"
                            duration: 150
                            easing.type: Easing.OutCubic
                        }
                    }
                },
                Transition {
                    from: "shown"

                    SequentialAnimation {
                        NumberAnimation {
                            properties: "scale,opacity"
                            duration: 150
                            easing.type: Easing.InCubic
                        }
                        PropertyAction {
                            property: "visible"
                        }
                    }
                }
            ]
        }
    }
}
