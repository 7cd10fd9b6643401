import QtQuick
import QtQuick.Controls.impl
import Vorlane

// One video of the catalogue: the preview with the play symbol and the duration badge, then the
// author's avatar beside the title and the info line. Nothing on it reacts to a tap.
Item {
    id: card

    required property int index
    required property string title
    required property var authorAvatarUrl
    required property string thumbnailUrl
    required property string durationFormatted
    required property string infoLine

    objectName: "videoCard" + index
    implicitHeight: content.implicitHeight

    Column {
        id: content
        x: 20
        width: card.width - 40
        spacing: 10

        Item {
            id: previewArea
            objectName: "videoPreview"
            width: parent.width
            height: 200

            // Stands in while the picture loads, when it fails and when there is no address.
            Rectangle {
                anchors.fill: parent
                radius: 12
                color: Qt.rgba(0x8E / 255, 0x8E / 255, 0x93 / 255, 0.3)
            }
            RoundedImage {
                anchors.fill: parent
                radius: 12
                source: AvatarRules.isUsableAddress(card.thumbnailUrl) ? card.thumbnailUrl : ""
                visible: status === RoundedImage.Ready
            }

            // The symbol's shadow: the same glyph, soft and dark, under it.
            IconImage {
                anchors.centerIn: parent
                anchors.verticalCenterOffset: 1
                source: Theme.icon("play.circle.fill")
                sourceSize: Qt.size(62, 62)
                color: Qt.rgba(0, 0, 0, 0.2)
            }
            IconImage {
                objectName: "playSymbol"
                anchors.centerIn: parent
                source: Theme.icon("play.circle.fill")
                sourceSize: Qt.size(58, 58)
                color: "white"
            }

            Rectangle {
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.margins: 10
                width: badgeText.implicitWidth + 16
                height: badgeText.implicitHeight + 8
                radius: 6
                color: Qt.rgba(0, 0, 0, 0.75)
                Text {
                    id: badgeText
                    objectName: "durationBadge"
                    anchors.centerIn: parent
                    textFormat: Text.PlainText
                    text: card.durationFormatted
                    font.pixelSize: 12
                    font.bold: true
                    color: "white"
                }
            }
        }

        Row {
            width: parent.width
            spacing: 12

            AvatarView {
                size: 40
                urlString: card.authorAvatarUrl
            }
            Column {
                width: parent.width - 40 - 12
                spacing: 4
                Text {
                    objectName: "videoTitle"
                    width: parent.width
                    textFormat: Text.PlainText
                    text: card.title
                    wrapMode: Text.Wrap
                    maximumLineCount: 2
                    elide: Text.ElideRight
                    font.pixelSize: 16
                    font.bold: true
                    color: Theme.label
                }
                Text {
                    objectName: "videoInfoLine"
                    width: parent.width
                    textFormat: Text.PlainText
                    text: card.infoLine
                    wrapMode: Text.Wrap
                    font.pixelSize: 12
                    color: Theme.secondaryLabel
                }
            }
        }
    }
}
