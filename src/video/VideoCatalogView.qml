import QtQuick
import QtQuick.Controls
import Vorlane

// The video tab: the catalogue's videos with their preview pictures.
Item {
    id: root

    readonly property alias viewModel: videoModel

    VideoViewModel {
        id: videoModel
    }

    NavigationStack {
        anchors.fill: parent
        initialItem: Rectangle {
            readonly property string title: qsTr("Видеокаталог")
            color: Theme.groupedBackground

            ListView {
                objectName: "videoList"
                anchors.fill: parent
                topMargin: Theme.padding
                bottomMargin: Theme.padding
                spacing: Theme.padding
                model: videoModel.videos
                delegate: Item {
                    id: card
                    required property string title
                    required property var authorAvatarUrl
                    required property string thumbnailUrl
                    required property string durationFormatted
                    required property string byline
                    x: Theme.padding
                    width: ListView.view.width - 2 * Theme.padding
                    height: preview.height + details.height + 10

                    Rectangle {
                        id: preview
                        width: parent.width
                        height: width * 9 / 16
                        radius: 12
                        color: Theme.gray5
                        RoundedImage {
                            anchors.fill: parent
                            radius: 12
                            source: card.thumbnailUrl
                        }
                        Rectangle {
                            anchors.right: parent.right
                            anchors.bottom: parent.bottom
                            anchors.margins: Theme.spacing
                            width: durationText.implicitWidth + 12
                            height: durationText.implicitHeight + 6
                            radius: 4
                            color: Qt.rgba(0, 0, 0, 0.7)
                            Text {
                                id: durationText
                                anchors.centerIn: parent
                                textFormat: Text.PlainText
                                text: card.durationFormatted
                                font.pixelSize: Theme.caption
                                font.weight: Font.DemiBold
                                color: "white"
                            }
                        }
                    }
                    Row {
                        id: details
                        y: preview.height + 10
                        spacing: 10
                        AvatarView {
                            size: 36
                            urlString: card.authorAvatarUrl
                        }
                        Column {
                            spacing: 2
                            Text {
                                width: card.width - 46
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: card.title
                                font.pixelSize: 15
                                font.weight: Font.DemiBold
                                color: Theme.label
                            }
                            Text {
                                width: card.width - 46
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: card.byline
                                font.pixelSize: Theme.caption
                                color: Theme.secondaryLabel
                            }
                        }
                    }
                }
            }
        }
    }
}
