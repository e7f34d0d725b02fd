pragma ComponentBehavior: Bound
import QtQuick
import Quorlin

// A soft drop shadow for a rounded rectangle, made of stacked translucent
// rounded rectangles that grow by the blur and fade outwards: the software
// renderer has no blur effect, and this reads the same at tile sizes.
Item {
    id: root

    // The item that casts the shadow; the shadow follows its geometry.
    required property Item target
    property real radius: 0
    property color color: "black"
    // Opacity of the shadow's core.
    property real strength: 0.2
    property real blur: 6
    property real offsetX: 0
    property real offsetY: 0
    readonly property int layers: 6

    x: target.x + offsetX
    y: target.y + offsetY
    width: target.width
    height: target.height
    z: target.z - 1

    Repeater {
        model: root.layers

        Rectangle {
            required property int index
            // Layers spread from half the blur inside the edge to half outside,
            // so the edge itself sits at half strength like a real blur.
            readonly property real spread: root.blur * ((index + 0.5) / root.layers - 0.5)

            x: -spread
            y: -spread
            width: root.width + 2 * spread
            height: root.height + 2 * spread
            radius: Math.max(0, root.radius + spread)
            color: root.color
            // Where all layers overlap they add up to exactly `strength`.
            opacity: 1 - Math.pow(1 - root.strength, 1 / root.layers)
        }
    }
}
