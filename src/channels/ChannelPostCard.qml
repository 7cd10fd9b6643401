import QtQuick
import QtQuick.Controls.impl
import Vorlane

// One post of a channel: its text, its photo when the address is usable, and the time and views.
// A card has no action.
Item {
    id: root

    required property int index
    required property string text
    required property string imageSource
    required property string createdAtFormatted
    required property string viewsText

    objectName: "postCard" + index
    implicitHeight: card.height

    Rectangle {
        id: card
        x: 20
        width: root.width - 40
        height: content.implicitHeight + 32
        radius: 12
        color: Theme.secondaryGroupedBackground
        // White on the white page, as on the platform; a hairline keeps the card's edge.
        border.width: 0.5
        border.color: Theme.gray5

        Column {
            id: content
            x: 16
            y: 16
            width: parent.width - 32
            spacing: 8

            Text {
                objectName: "postText"
                width: parent.width
                wrapMode: Text.Wrap
                textFormat: Text.PlainText
                text: root.text
                font.pixelSize: 15
                lineHeightMode: Text.FixedHeight
                lineHeight: Math.ceil(fontInfo.pixelSize * 1.2) + 4
                color: Theme.label
            }

            Item {
                objectName: "postPhoto"
                visible: root.imageSource !== ""
                width: parent.width
                height: visible ? 200 : 0
                Rectangle {
                    anchors.fill: parent
                    radius: 12
                    color: Qt.rgba(0.557, 0.557, 0.576, 0.3)
                }
                RoundedImage {
                    anchors.fill: parent
                    radius: 12
                    source: root.imageSource
                }
            }

            Item {
                width: parent.width
                height: Math.max(timeText.implicitHeight, views.height)
                Text {
                    id: timeText
                    objectName: "postTime"
                    anchors.verticalCenter: parent.verticalCenter
                    textFormat: Text.PlainText
                    text: root.createdAtFormatted
                    font.pixelSize: 12
                    color: Theme.secondaryLabel
                }
                Row {
                    id: views
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 4
                    IconImage {
                        anchors.verticalCenter: parent.verticalCenter
                        source: Theme.icon("eye.fill")
                        sourceSize: Qt.size(14, 14)
                        color: Theme.secondaryLabel
                    }
                    Text {
                        objectName: "postViews"
                        anchors.verticalCenter: parent.verticalCenter
                        textFormat: Text.PlainText
                        text: root.viewsText
                        font.pixelSize: 12
                        color: Theme.secondaryLabel
                    }
                }
            }
        }
    }
}
