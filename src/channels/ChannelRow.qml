import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// One catalogue row: avatar, name with the seal, one line of description, the count, then the
// owner's mark or the subscribe button. The button takes its own taps; the rest of the row
// (the mark included) opens the channel.
AbstractButton {
    id: row

    required property int index
    required property var channel
    required property string name
    required property string description
    required property var avatarUrl
    required property bool isVerified
    required property bool isSubscribed
    required property string subscribersText
    required property string subscribeButtonText
    required property bool isOwner
    property bool isLast: false

    signal openRequested()
    signal subscribeRequested()

    objectName: "channelRow" + index
    implicitHeight: Math.max(52, texts.implicitHeight) + 8 + 22
    onClicked: row.openRequested()

    background: Rectangle {
        color: row.pressed ? Theme.gray5 : "transparent"
        radius: 10
    }

    contentItem: Item {
        AvatarView {
            id: avatar
            anchors.left: parent.left
            anchors.leftMargin: Theme.padding
            anchors.verticalCenter: parent.verticalCenter
            size: 52
            urlString: row.avatarUrl
        }

        Column {
            id: texts
            anchors.left: avatar.right
            anchors.leftMargin: 12
            anchors.right: trailing.left
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 4

            // The seal follows the name's widest line, as the name is only as wide as its text.
            Item {
                width: parent.width
                height: nameText.height
                Text {
                    id: nameText
                    objectName: "channelName"
                    width: parent.width - (seal.visible ? seal.width + 4 : 0)
                    wrapMode: Text.Wrap
                    textFormat: Text.PlainText
                    text: row.name
                    font.pixelSize: 15
                    font.bold: true
                    color: Theme.label
                }
                IconImage {
                    id: seal
                    objectName: "channelSeal"
                    x: nameText.contentWidth + 4
                    anchors.verticalCenter: parent.verticalCenter
                    visible: row.isVerified
                    source: Theme.icon("checkmark.seal.fill")
                    sourceSize: Qt.size(14, 14)
                    color: Theme.blue
                }
            }
            Text {
                objectName: "channelDescription"
                width: parent.width
                maximumLineCount: 1
                elide: Text.ElideRight
                textFormat: Text.PlainText
                text: row.description
                font.pixelSize: 12
                color: Theme.secondaryLabel
            }
            Text {
                objectName: "channelCount"
                textFormat: Text.PlainText
                text: row.subscribersText
                font.pixelSize: 11
                color: Theme.blue
            }
        }

        Item {
            id: trailing
            anchors.right: parent.right
            anchors.rightMargin: Theme.padding
            anchors.verticalCenter: parent.verticalCenter
            width: row.isOwner ? ownerMark.width : subscribeButton.width
            height: row.isOwner ? ownerMark.height : subscribeButton.height

            Rectangle {
                id: ownerMark
                objectName: "ownerMark"
                visible: row.isOwner
                width: ownerText.implicitWidth + 16
                height: ownerText.implicitHeight + 8
                radius: 10
                color: Qt.rgba(1, 0.584, 0, 0.2)
                Text {
                    id: ownerText
                    anchors.centerIn: parent
                    text: qsTr("Создатель")
                    font.pixelSize: 11
                    font.bold: true
                    color: Theme.orange
                }
            }

            AbstractButton {
                id: subscribeButton
                objectName: "rowSubscribeButton"
                visible: !row.isOwner
                enabled: !row.isOwner
                leftPadding: 10
                rightPadding: 10
                topPadding: 6
                bottomPadding: 6
                text: row.subscribeButtonText
                onClicked: row.subscribeRequested()
                contentItem: Text {
                    text: subscribeButton.text
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    color: row.isSubscribed ? Theme.label : "white"
                }
                background: Rectangle {
                    radius: 14
                    color: row.isSubscribed ? Theme.groupedBackground : Theme.blue
                }
            }
        }

        Rectangle {
            visible: !row.isLast
            anchors.left: parent.left
            anchors.leftMargin: Theme.padding + 52 + 12
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: 0.5
            color: Theme.separator
        }
    }
}
