import QtQuick

// A soft drop shadow behind a rounded rectangle, built from layered translucent copies of the
// shape (from blur inside its edge to blur outside it), so that it also draws on the software
// renderer, which has no shader effects.
Item {
    id: shadow
    property real radius: 12
    property real blur: 8
    property real offsetY: 4
    property real strength: 0.12
    readonly property int layers: Math.max(2, Math.round(blur))

    Repeater {
        model: shadow.layers
        Rectangle {
            required property int index
            // Grows from -blur to +blur around the shape's edge.
            readonly property real grow: shadow.blur * (2 * (index + 0.5) / shadow.layers - 1)
            x: -grow
            y: shadow.offsetY - grow
            width: Math.max(0, shadow.width + 2 * grow)
            height: Math.max(0, shadow.height + 2 * grow)
            radius: Math.max(0, shadow.radius + grow)
            color: Qt.rgba(0, 0, 0, shadow.strength / shadow.layers)
        }
    }
}
