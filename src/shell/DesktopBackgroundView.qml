import QtQuick
import Quorlin

// The blurred desktop picture, which comes under its 0.3 black veil, or the
// fixed blue-violet gradient while there is no picture.
Item {
    id: root

    required property DesktopBackground background

    CornerGradient {
        objectName: "fallbackGradient"
        anchors.fill: parent
        // Painted at an eighth of its size and stretched: neighbouring texels
        // differ by less than a colour level, so stretching them without
        // filtering looks the same and costs a third as much on every repaint.
        smooth: false
        visible: !root.background.hasPicture
        startColor: Qt.rgba(0.1, 0.15, 0.25, 1)
        endColor: Qt.rgba(0.15, 0.1, 0.3, 1)
    }

    Image {
        objectName: "desktopPicture"
        anchors.fill: parent
        visible: root.background.hasPicture
        source: root.background.pictureSource
        fillMode: Image.PreserveAspectCrop
        smooth: true
        cache: false
    }
}
