// The least a Qt Quick launcher can take to start: a full-screen window on the
// software renderer, paced as the launcher paces its frames, showing 35 tiles
// (a flat square of an icon's colour and a two-line name) under a text field
// that takes the typed letter. No catalogue is read and no picture decoded:
// side_by_side.py starts it beside rofi and Quorlin, so the table shows how
// much of a start is Qt Quick's own.

#include "SceneGraphBackend.h"

#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>

#include <memory>

namespace {

// Colours as side_by_side.py's icon_colour(): 60 + 9 × (index's base-20 digit).
const char* const scene = R"qml(
import QtQuick
Window {
    color: "#1e1e28"
    flags: Qt.FramelessWindowHint
    TextInput {
        id: field
        x: (parent.width - width) / 2; y: 40; width: 240; height: 30
        color: "white"; font.pixelSize: 16; focus: true
    }
    Grid {
        x: 80; y: 150; columns: 7; columnSpacing: 140; rowSpacing: 30
        Repeater {
            model: 35
            delegate: Item {
                required property int index
                width: 120; height: 110
                Rectangle {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 64; height: 64; radius: 12
                    color: Qt.rgba((60 + 9 * (index % 20)) / 255,
                                   (60 + 9 * (Math.floor(index / 20) % 20)) / 255,
                                   (60 + 9 * (Math.floor(index / 400) % 20)) / 255, 1)
                }
                Text {
                    y: 72; width: 100; height: 32
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "Application " + index + " " + field.text
                    color: "white"; font.pixelSize: 12
                    horizontalAlignment: Text.AlignHCenter; wrapMode: Text.Wrap
                    maximumLineCount: 2; elide: Text.ElideRight
                    style: Text.Raised; styleColor: Qt.rgba(0, 0, 0, 0.5)
                }
            }
        }
    }
}
)qml";

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    // The renderer and frame pacing the launcher would take in the same place.
    chooseSceneGraphBackend();
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(scene, QUrl());
    const std::unique_ptr<QObject> object(component.create());
    auto* window = qobject_cast<QQuickWindow*>(object.get());
    if (window == nullptr)
        return 1;
    window->setGeometry(window->screen()->geometry());
    window->show();
    window->requestActivate();
    return QGuiApplication::exec();
}
