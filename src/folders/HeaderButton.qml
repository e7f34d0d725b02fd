import QtQuick
import Quorlin

// A plain symbol button of the folder panel's header: no bezel, white at 0.8.
Item {
    id: root

    property alias source: symbol.source

    signal clicked

    width: 28
    height: 28
    // The host names it.
    Accessible.role: Accessible.Button
    Accessible.onPressAction: root.clicked()

    Image {
        id: symbol

        anchors.fill: parent
        sourceSize: Qt.size(width * 2, height * 2)
        opacity: tap.pressed ? 0.5 : 0.8
        smooth: true
    }

    TapHandler {
        id: tap

        onTapped: root.clicked()
    }
}
