import QtQuick
import QtQuick.Controls
import Vorlane

// A segmented control: one rounded track with the chosen segment raised on a white pill.
Item {
    id: root

    property var segments: []
    property int selected: 0

    implicitHeight: 32 + 2 * 8

    Rectangle {
        x: Theme.padding
        y: 8
        width: root.width - 2 * Theme.padding
        height: 32
        radius: 8
        color: Qt.rgba(118 / 255, 118 / 255, 128 / 255, 0.12)

        Rectangle {
            x: 2 + root.selected * (parent.width - 4) / Math.max(1, root.segments.length)
            y: 2
            width: (parent.width - 4) / Math.max(1, root.segments.length)
            height: parent.height - 4
            radius: 7
            visible: root.selected >= 0 && root.selected < root.segments.length
            color: "white"
            border.color: Qt.rgba(0, 0, 0, 0.04)
        }

        Row {
            anchors.fill: parent
            anchors.margins: 2
            Repeater {
                model: root.segments
                delegate: AbstractButton {
                    required property int index
                    required property string modelData
                    objectName: "segment" + index
                    width: parent.width / Math.max(1, root.segments.length)
                    height: parent.height
                    text: modelData
                    onClicked: root.selected = index
                    contentItem: Text {
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                        text: parent.text
                        font.pixelSize: 13
                        font.weight: root.selected === parent.index ? Font.DemiBold : Font.Normal
                        color: Theme.label
                    }
                }
            }
        }
    }
}
