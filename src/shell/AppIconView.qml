// Not "pragma ComponentBehavior: Bound": on Qt 6.4 a Loader refuses to build a
// bound component, and the delete badge is loaded only while it is wanted.
import QtQuick
import Quorlin

// One application: its icon above its name. It lifts and grows under the
// pointer, turns by wiggleOffset in edit mode and, when the host gives it a
// delete action, carries a red delete badge. Clicks, drags and the context
// menu belong to the host; the badge is the only thing here that takes a click.
Item {
    id: root

    property string name
    property url iconSource
    property bool isEditMode: false
    // Whether the host gave a delete action; the badge exists only then.
    property bool hasDeleteAction: false
    readonly property bool isHovered: hover.hovered
    // Rotation of the icon in edit mode, in degrees. The host rocks it: one
    // animation for a page of tiles, rather than one built with every tile.
    property real wiggleOffset: 0
    // 0 at rest, 1 hovered. A spring drives it, so it overshoots a little
    // on the way, and the icon's size and shadow follow it together.
    property real hoverProgress: isHovered ? 1 : 0

    signal deleteClicked

    width: 120
    height: 110

    // Spring of response 0.3 s and damping fraction 0.6, in SpringAnimation's
    // terms (its 16 ms integration step folded into both factors).
    Behavior on hoverProgress {
        SpringAnimation {
            spring: 7.0
            damping: 0.4
            epsilon: 0.002
        }
    }

    HoverHandler {
        id: hover
    }

    Item {
        id: stack

        // Icon 64, spacing 8, label 32.
        width: 100
        height: 104
        anchors.centerIn: parent

        // Pre-blurred shadows of the icon's rounded square, black at 0.1 with
        // radius 4 and at 0.3 with radius 8, cross-faded: the software renderer
        // has no blur of its own. Their strength is in the pictures, so a tile
        // at rest draws one plain image. They grow with the icon but do not
        // rock with it: at two degrees nobody sees the difference, and drawing
        // them unrotated keeps 35 wiggling tiles cheap.
        Item {
            width: 64
            height: 64
            anchors.horizontalCenter: parent.horizontalCenter
            scale: icon.scale

            Image {
                x: -16
                y: -16 + 2 + 2 * root.hoverProgress
                source: "image://symbol/grid/icons/tile-shadow-rest.png"
                // Resampled only while it grows: at rest it is copied, pixel
                // for pixel, which the software renderer does several times
                // as fast as a smooth draw.
                smooth: root.hoverProgress > 0
                opacity: Math.min(1, Math.max(0, 1 - root.hoverProgress))
                visible: opacity > 0
            }
            Image {
                x: -16
                y: -16 + 2 + 2 * root.hoverProgress
                source: "image://symbol/grid/icons/tile-shadow-hover.png"
                opacity: Math.min(1, Math.max(0, root.hoverProgress))
                visible: opacity > 0
            }
        }

        // The icon is decoded for this tile when it first shows, off the GUI
        // thread; until it comes, a faint square of its size holds its place:
        // white at 0.08, corners of radius 12. One picture for every tile, where
        // the software renderer would make each rounded rectangle's corners anew.
        Image {
            anchors.fill: icon
            scale: icon.scale
            rotation: icon.rotation
            source: "image://symbol/grid/icons/tile-placeholder.png"
            smooth: icon.smooth
            visible: icon.status !== Image.Ready
        }

        Image {
            id: icon

            objectName: "tileIcon"
            width: 64
            height: 64
            anchors.horizontalCenter: parent.horizontalCenter
            scale: 1 + 0.1 * root.hoverProgress
            rotation: root.isEditMode ? root.wiggleOffset : 0
            // Resampled, and its edges smoothed, only while it grows or rocks:
            // at rest it is copied pixel for pixel, several times as fast.
            smooth: root.hoverProgress > 0 || rotation !== 0
            antialiasing: smooth
            asynchronous: true
            sourceSize: Qt.size(64, 64)
            fillMode: Image.PreserveAspectFit
            // Corners of radius 12.
            source: root.iconSource.toString() === "" ? "" : root.iconSource + "?corner=0.1875"
        }

        Item {
            y: icon.height + 8
            width: 100
            height: 32

            Text {
                id: label

                objectName: "tileName"
                width: parent.width
                height: parent.height
                text: root.name
                textFormat: Text.PlainText
                font.pixelSize: 12
                color: "white"
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
                // Stands in for the label's soft shadow: the same glyphs again,
                // a pixel lower, from one layout rather than a second text.
                style: Text.Raised
                styleColor: Qt.rgba(0, 0, 0, 0.5)
            }
        }
    }

    Loader {
        // 8 right of and 8 above the top-right corner of the icon-and-name stack.
        x: stack.x + stack.width - 22 + 8
        y: stack.y - 8
        width: 22
        height: 22
        active: root.isEditMode && root.hasDeleteAction

        sourceComponent: Item {
            objectName: "deleteBadge"
            Accessible.role: Accessible.Button
            //: A screen reader's name for the badge; %1 is the application's name.
            Accessible.name: qsTr("Delete %1").arg(root.name)
            Accessible.onPressAction: root.deleteClicked()

            Image {
                anchors.centerIn: parent
                source: "image://symbol/grid/icons/badge-shadow.png"
            }
            Rectangle {
                anchors.fill: parent
                radius: width / 2
                color: "white"
            }
            Image {
                anchors.fill: parent
                source: "image://symbol/grid/icons/xmark-circle-fill.svg"
                sourceSize: Qt.size(44, 44)
            }
            // A mouse area, not a tap handler: it keeps the press, so the
            // click never reaches the host's launch below.
            MouseArea {
                anchors.fill: parent
                onClicked: root.deleteClicked()
            }
        }
    }
}
