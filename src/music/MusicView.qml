import QtQuick
import QtQuick.Controls
import Vorlane

// The music tab: the track list, played through the shared player on a tap.
Item {
    id: root

    readonly property alias viewModel: musicModel

    MusicViewModel {
        id: musicModel
    }

    NavigationStack {
        anchors.fill: parent
        initialItem: Rectangle {
            readonly property string title: qsTr("Музыка")
            readonly property bool largeTitle: true
            color: Theme.systemBackground

            ListView {
                objectName: "trackList"
                anchors.fill: parent
                model: musicModel.tracks
                delegate: AbstractButton {
                    id: row
                    required property int index
                    required property string title
                    required property string artist
                    required property string durationFormatted
                    required property var track
                    readonly property bool isCurrent: musicModel.isSameTrack(AudioPlayerManager.currentTrack, track)
                    objectName: "trackRow" + index
                    width: ListView.view.width
                    height: 64
                    onClicked: AudioPlayerManager.play(track)
                    background: Rectangle {
                        color: row.pressed ? Theme.gray5 : "transparent"
                    }
                    contentItem: Item {
                        Rectangle {
                            id: tile
                            x: Theme.padding
                            anchors.verticalCenter: parent.verticalCenter
                            width: 48
                            height: 48
                            radius: 8
                            color: Qt.rgba(0, 122 / 255, 1, 0.15)
                            Text {
                                anchors.centerIn: parent
                                text: "♪"
                                font.pixelSize: 22
                                color: Theme.blue
                            }
                        }
                        Column {
                            anchors.left: tile.right
                            anchors.leftMargin: 12
                            anchors.right: duration.left
                            anchors.rightMargin: Theme.spacing
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: 3
                            Text {
                                width: parent.width
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: row.title
                                font.pixelSize: 15
                                font.weight: Font.DemiBold
                                color: row.isCurrent ? Theme.blue : Theme.label
                            }
                            Text {
                                width: parent.width
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: row.artist
                                font.pixelSize: 13
                                color: Theme.secondaryLabel
                            }
                        }
                        Text {
                            id: duration
                            anchors.right: parent.right
                            anchors.rightMargin: Theme.padding
                            anchors.verticalCenter: parent.verticalCenter
                            textFormat: Text.PlainText
                            text: row.durationFormatted
                            font.pixelSize: 13
                            color: Theme.secondaryLabel
                        }
                        Rectangle {
                            anchors.left: tile.right
                            anchors.leftMargin: 12
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
}
