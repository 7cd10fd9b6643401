import QtQuick
import Vorlane

// A plain card: avatar, a bold title with a grey line under it, and an optional body text.
Rectangle {
    id: card

    property var avatarUrl: null
    property bool isOnline: false
    property string title
    property string subtitle
    property string body

    implicitHeight: content.implicitHeight + 2 * 12
    color: Theme.secondaryGroupedBackground

    Column {
        id: content
        x: Theme.padding
        y: 12
        width: card.width - 2 * Theme.padding
        spacing: 10

        Row {
            spacing: 10
            AvatarView {
                anchors.verticalCenter: parent.verticalCenter
                size: 40
                urlString: card.avatarUrl
                isOnline: card.isOnline
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 2
                Text {
                    width: content.width - 50
                    elide: Text.ElideRight
                    textFormat: Text.PlainText
                    text: card.title
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                    color: Theme.label
                }
                Text {
                    width: content.width - 50
                    elide: Text.ElideRight
                    textFormat: Text.PlainText
                    text: card.subtitle
                    font.pixelSize: Theme.caption
                    color: Theme.secondaryLabel
                }
            }
        }

        Text {
            width: parent.width
            visible: card.body !== ""
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            text: card.body
            font.pixelSize: 15
            color: Theme.label
        }
    }
}
