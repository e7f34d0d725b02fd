pragma ComponentBehavior: Bound
import QtQuick
import Quorlin
import QtQuick.Controls.Basic

// The list the user picks an application from: a search field over a fixed
// 300 x 400 list of rows. It knows nothing of folders; the host supplies the
// matching applications and decides what a choice does.
Column {
    id: root

    // A list model with the roles appId, name and iconSource, already narrowed
    // by `searchText`.
    required property var apps
    property string searchText
    readonly property alias searchField: field
    readonly property alias list: list

    signal searchEdited(string text)
    signal selectApp(string appId)

    spacing: 0

    // The field sits inside the usual margin of a popover's content.
    Item {
        width: list.width
        height: field.height + 24

        TextField {
            id: field

            objectName: "pickerSearchField"
            x: 12
            y: 12
            width: parent.width - 24
            placeholderText: qsTr("Search apps...")
            placeholderTextColor: Qt.rgba(1, 1, 1, 0.4)
            color: "white"
            font.pixelSize: 13
            text: root.searchText
            focus: true
            background: Rectangle {
                implicitHeight: 28
                radius: 6
                color: Qt.rgba(1, 1, 1, 0.08)
                border.width: 1
                border.color: field.activeFocus ? Qt.rgba(0.04, 0.52, 1, 0.9) : Qt.rgba(1, 1, 1, 0.2)
            }
            onTextEdited: root.searchEdited(text)
            Accessible.name: placeholderText
            Accessible.searchEdit: true
        }
    }

    Rectangle {
        width: list.width
        height: 1
        color: Qt.rgba(1, 1, 1, 0.12)
    }

    ListView {
        id: list

        objectName: "pickerList"
        width: 300
        height: 400
        clip: true
        model: root.apps
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {
            policy: ScrollBar.AsNeeded
        }

        delegate: Item {
            id: row

            required property string appId
            required property string name
            required property string iconSource

            objectName: "pickerRow"
            Accessible.role: Accessible.Button
            Accessible.name: row.name
            Accessible.onPressAction: root.selectApp(row.appId)
            width: ListView.view.width
            height: content.height + divider.height

            Row {
                id: content

                leftPadding: 16
                rightPadding: 16
                topPadding: 8
                bottomPadding: 8
                spacing: 12

                Image {
                    id: rowIcon

                    width: 32
                    height: 32
                    asynchronous: true
                    sourceSize: Qt.size(32, 32)
                    // Corners of radius 6.
                    source: row.iconSource + "?corner=0.1875"

                    Rectangle {
                        anchors.fill: parent
                        radius: 6
                        color: Qt.rgba(1, 1, 1, 0.08)
                        visible: rowIcon.status !== Image.Ready
                    }
                }

                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    width: row.width - 32 - 12 - 32
                    text: row.name
                    font.pixelSize: 14
                    color: "white"
                    elide: Text.ElideRight
                }
            }

            Rectangle {
                id: divider

                anchors.top: content.bottom
                width: row.width
                height: 1
                color: Qt.rgba(1, 1, 1, 0.12)
            }

            // The whole row is the button.
            TapHandler {
                onTapped: root.selectApp(row.appId)
            }
        }
    }
}
