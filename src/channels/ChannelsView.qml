import QtQuick
import QtQuick.Controls
import Vorlane

// The channels tab: the channel catalogue.
Item {
    id: root

    // The signed-in user, a copy handed down by the main screen.
    property var currentUser: null
    readonly property alias viewModel: channelsModel

    ChannelsViewModel {
        id: channelsModel
    }

    NavigationStack {
        anchors.fill: parent
        initialItem: Rectangle {
            readonly property string title: qsTr("Каналы")
            readonly property bool largeTitle: true
            color: Theme.systemBackground

            ListView {
                objectName: "channelList"
                anchors.fill: parent
                model: channelsModel.channels
                delegate: Item {
                    id: row
                    required property string name
                    required property var avatarUrl
                    required property string detailText
                    width: ListView.view.width
                    height: 72
                    AvatarView {
                        id: avatar
                        x: Theme.padding
                        anchors.verticalCenter: parent.verticalCenter
                        size: 50
                        urlString: row.avatarUrl
                    }
                    Column {
                        anchors.left: avatar.right
                        anchors.leftMargin: 12
                        anchors.right: parent.right
                        anchors.rightMargin: Theme.padding
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 3
                        Text {
                            width: parent.width
                            elide: Text.ElideRight
                            textFormat: Text.PlainText
                            text: row.name
                            font.pixelSize: 16
                            font.bold: true
                            color: Theme.label
                        }
                        Text {
                            width: parent.width
                            elide: Text.ElideRight
                            textFormat: Text.PlainText
                            text: row.detailText
                            font.pixelSize: 13
                            color: Theme.secondaryLabel
                        }
                    }
                    Rectangle {
                        anchors.left: parent.left
                        anchors.leftMargin: Theme.padding + 50 + 12
                        anchors.right: parent.right
                        anchors.bottom: parent.bottom
                        height: 0.5
                        color: Theme.separator
                    }
                }
            }
        }
    }
}
