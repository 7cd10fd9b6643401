import QtQuick

// A soft drop shadow behind a rounded rectangle, built from layered outlines so that it also
// draws on the software renderer (no shader effects there).
Item {
    id: shadow
    property real radius: 12
    property real blur: 8
    property real offsetY: 4
    property real strength: 0.12

    Repeater {
        model: Math.max(1, Math.round(shadow.blur))
        Rectangle {
            required property int index
            readonly property real spread: index + 1
            x: -spread / 2
            y: shadow.offsetY - spread / 2
            width: shadow.width + spread
            height: shadow.height + spread
            radius: shadow.radius + spread / 2
            color: Qt.rgba(0, 0, 0, 1.6 * shadow.strength / Math.max(1, Math.round(shadow.blur)))
        }
    }
}
