import QtQuick
import Vorlane

// The platform's spinning activity indicator: eight spokes fading round a circle.
Item {
    id: root

    property color color: Theme.gray
    property bool running: visible

    implicitWidth: 20
    implicitHeight: 20

    Item {
        id: wheel
        anchors.fill: parent

        Repeater {
            model: 8
            Rectangle {
                required property int index
                x: (root.width - width) / 2
                y: 0
                width: root.width * 0.11
                height: root.height * 0.28
                radius: width / 2
                color: root.color
                opacity: 1 - index * 0.11
                transform: Rotation {
                    origin.x: width / 2
                    origin.y: root.height / 2
                    angle: -index * 45
                }
            }
        }

        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 1000
            loops: Animation.Infinite
            running: root.running
        }
    }
}
