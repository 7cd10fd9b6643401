import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// One of a post card's action buttons: a symbol and a count in a capsule, both in the tint.
AbstractButton {
    id: capsule
    property string symbol
    property int symbolSize: 15
    property string count
    property color tint
    property color fill

    topPadding: 6
    bottomPadding: 6
    leftPadding: 10
    rightPadding: 10
    background: Rectangle {
        radius: 16
        color: capsule.fill
    }
    contentItem: Row {
        spacing: 6
        IconImage {
            anchors.verticalCenter: parent.verticalCenter
            source: Theme.icon(capsule.symbol)
            sourceSize: Qt.size(capsule.symbolSize, capsule.symbolSize)
            color: capsule.tint
        }
        Text {
            objectName: capsule.objectName + "Count"
            anchors.verticalCenter: parent.verticalCenter
            text: capsule.count
            font.pixelSize: 13
            font.weight: Font.Medium
            color: capsule.tint
        }
    }
}
