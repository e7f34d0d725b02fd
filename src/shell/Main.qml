import QtQuick
import QtQuick.Window

Window {
    visible: true
    color: "black"
    width: 800
    height: 600
}
