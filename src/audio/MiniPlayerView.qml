import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorlane

// The now-playing bar, placed over the tabs. It takes no space until a track has been played,
// and a tap on it (not on its button) opens the player sheet for the track it shows.
Item {
    id: root
    objectName: "miniPlayer"

    implicitHeight: nowPlaying.hasTrack ? bar.height + 60 : 0
    visible: nowPlaying.hasTrack

    PlayerPresenter {
        id: nowPlaying
        track: AudioPlayerManager.currentTrack
    }

    AudioShadow {
        anchors.fill: bar
        radius: bar.radius
        blur: 8
        offsetY: 4
        strength: 0.12
    }

    Rectangle {
        id: bar
        objectName: "miniPlayerBar"
        anchors {
            left: parent.left
            right: parent.right
            top: parent.top
            leftMargin: 12
            rightMargin: 12
        }
        height: row.implicitHeight + 16
        radius: 12
        color: Theme.secondaryGroupedBackground

        MouseArea {
            objectName: "miniPlayerTapArea"
            anchors.fill: parent
            onClicked: {
                playerSheet.track = nowPlaying.track
                playerSheet.open()
            }
        }

        RowLayout {
            id: row
            anchors {
                fill: parent
                leftMargin: 12
                rightMargin: 12
                topMargin: 8
                bottomMargin: 8
            }
            spacing: 12

            PlayerArtwork {
                objectName: "miniPlayerArtwork"
                Layout.preferredWidth: 42
                Layout.preferredHeight: 42
                radius: 6
                hasPicture: nowPlaying.hasCover
                source: nowPlaying.coverSource
                placeholderOpacity: 0.2
            }

            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2

                Text {
                    objectName: "miniPlayerTitle"
                    Layout.fillWidth: true
                    text: nowPlaying.title
                    textFormat: Text.PlainText
                    font.family: Theme.fontFamily
                    font.pixelSize: 14
                    font.weight: Font.DemiBold
                    color: Theme.label
                    maximumLineCount: 1
                    elide: Text.ElideRight
                }

                Text {
                    objectName: "miniPlayerArtist"
                    Layout.fillWidth: true
                    text: nowPlaying.artist
                    textFormat: Text.PlainText
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    color: Theme.secondaryLabel
                    maximumLineCount: 1
                    elide: Text.ElideRight
                }
            }

            AbstractButton {
                objectName: "miniPlayerButton"
                padding: 8
                contentItem: AudioSymbol {
                    objectName: "miniPlayerButtonSymbol"
                    symbol: nowPlaying.playIcon
                    size: 20
                    color: Theme.label
                }
                onClicked: nowPlaying.togglePlayPause()
            }
        }
    }

    AudioSheet {
        id: playerSheet
        objectName: "playerSheet"
        // The track this bar showed when it was tapped, kept while the sheet is open.
        property var track

        Loader {
            anchors.fill: parent
            active: playerSheet.visible
            sourceComponent: MusicPlayerView {
                track: playerSheet.track
            }
        }
    }
}
