import QtQuick
import QtQuick.Controls
import Vorlane

// The platform's segmented control: equal segments on a grey track, the selected one raised on
// a white thumb.
Rectangle {
    id: root

    // The segments' labels, in order.
    property var labels: []
    property int currentIndex: 0

    implicitHeight: 32
    radius: 8
    color: "#EEEEEF"

    Rectangle {
        visible: root.labels.length > 0
        x: 2 + root.currentIndex * (root.width - 4) / Math.max(1, root.labels.length)
        y: 2
        width: (root.width - 4) / Math.max(1, root.labels.length)
        height: root.height - 4
        radius: 7
        color: "white"
        border.width: 0.5
        border.color: Qt.rgba(0, 0, 0, 0.04)
        Behavior on x { NumberAnimation { duration: 150 } }
    }

    Row {
        anchors.fill: parent
        anchors.margins: 2
        Repeater {
            model: root.labels
            delegate: AbstractButton {
                id: segment
                required property int index
                required property string modelData
                objectName: "segment" + index
                width: (root.width - 4) / Math.max(1, root.labels.length)
                height: root.height - 4
                text: modelData
                onClicked: root.currentIndex = index
                contentItem: Text {
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    text: segment.text
                    font.pixelSize: 13
                    font.weight: segment.index === root.currentIndex ? Font.DemiBold : Font.Normal
                    color: Theme.label
                }
                background: null
            }
        }
    }
}
