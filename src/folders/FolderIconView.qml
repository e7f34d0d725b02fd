pragma ComponentBehavior: Bound
import QtQuick
import Quorlin

// One folder in the launcher grid: a gradient square with a 3 x 3 preview of
// its first members and its name below. The whole 120 x 120 cell takes hover,
// clicks and the context menu; every effect leaves through a signal.
Item {
    id: root

    required property string folderName
    // Icon URLs of the preview, at most nine, in the folder's order.
    required property var previewIcons
    property bool isDropTarget: false
    readonly property bool isHovered: hover.hovered
    // 0 at rest, 1 hovered; the icon's size and shadow follow it together.
    property real hoverProgress: isHovered ? 1 : 0
    // Rename and Delete, made the first time they are asked for, from a file of
    // their own: every folder tile would otherwise make a menu, and the tile
    // stays free of Qt Quick Controls.
    property QtObject menu: null

    signal open
    signal rename
    signal deleteFolder

    width: 120
    height: 120
    Accessible.role: Accessible.Button
    Accessible.name: root.folderName
    Accessible.onPressAction: root.open()

    function openMenu(x, y) {
        if (!menu)
            menu = Qt.createComponent("FolderMenu.qml").createObject(root, {
                "folder": root
            });
        menu.popup(x, y);
    }

    // The same spring as the application tiles: response 0.3 s, damping
    // fraction 0.6, in SpringAnimation's terms.
    Behavior on hoverProgress {
        SpringAnimation {
            spring: 7.0
            damping: 0.4
            epsilon: 0.002
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 8

        Item {
            id: icon

            // The overlay is as wide as the cell offers; the square sits in its
            // middle and the preview spreads over the full width.
            width: root.width
            height: 80
            scale: 1 + 0.1 * root.hoverProgress

            SoftShadow {
                target: square
                radius: 20
                color: "black"
                strength: 0.1 + 0.2 * Math.max(0, Math.min(1, root.hoverProgress))
                blur: 6 + 6 * root.hoverProgress
                offsetY: 3 + 3 * root.hoverProgress
            }

            CornerGradient {
                id: square

                objectName: "folderSquare"
                anchors.centerIn: parent
                width: 80
                height: 80
                radius: 20
                // Blue at the top-left corner to purple at the bottom-right, both at 0.6.
                startColor: Qt.rgba(0, 0.478, 1, 0.6)
                endColor: Qt.rgba(0.686, 0.322, 0.871, 0.6)
            }

            Rectangle {
                objectName: "dropRing"
                anchors.centerIn: parent
                width: 80
                height: 80
                radius: 20
                color: "transparent"
                border.color: "white"
                border.width: 3
                visible: root.isDropTarget
            }

            Grid {
                id: preview

                objectName: "preview"
                readonly property real cellWidth: (icon.width - 2 * 8 - 2 * columnSpacing) / 3

                anchors.verticalCenter: parent.verticalCenter
                x: 8
                columns: 3
                columnSpacing: 2
                rowSpacing: 2
                visible: (root.previewIcons?.length ?? 0) > 0

                Repeater {
                    model: root.previewIcons

                    Item {
                        required property string modelData

                        width: preview.cellWidth
                        height: 20

                        Rectangle {
                            anchors.fill: mini
                            radius: 4
                            color: Qt.rgba(1, 1, 1, 0.08)
                            visible: mini.status !== Image.Ready
                        }
                        Image {
                            id: mini

                            anchors.centerIn: parent
                            width: 20
                            height: 20
                            asynchronous: true
                            sourceSize: Qt.size(20, 20)
                            // Corners of radius 4.
                            source: parent.modelData + "?corner=0.2"
                        }
                    }
                }
            }
        }

        Item {
            width: 100
            height: label.implicitHeight
            anchors.horizontalCenter: parent.horizontalCenter

            Text {
                // Stands in for the label's soft shadow.
                x: 0
                y: 1
                width: parent.width
                text: label.text
                font: label.font
                color: Qt.rgba(0, 0, 0, 0.5)
                elide: Text.ElideRight
                maximumLineCount: 1
                horizontalAlignment: Text.AlignHCenter
            }

            Text {
                id: label

                objectName: "folderNameLabel"
                width: parent.width
                text: root.folderName
                font.pixelSize: 12
                color: "white"
                elide: Text.ElideRight
                maximumLineCount: 1
                horizontalAlignment: Text.AlignHCenter
            }
        }
    }

    HoverHandler {
        id: hover
    }

    TapHandler {
        acceptedButtons: Qt.LeftButton
        onTapped: root.open()
    }

    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: (eventPoint, button) => root.openMenu(eventPoint.position.x, eventPoint.position.y)
    }
}
