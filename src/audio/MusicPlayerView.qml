import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorlane

// The player sheet's content. What it shows of the track comes from the track it was given;
// position, length and the playing state come from the shared player.
Rectangle {
    id: root
    objectName: "musicPlayerView"
    property var track

    implicitWidth: 390
    implicitHeight: 796
    color: Theme.systemBackground

    PlayerPresenter {
        id: player
        track: root.track
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.leftMargin: 20
        anchors.rightMargin: 20
        spacing: 24

        SheetHandle { }

        Item { Layout.fillHeight: true }

        Item {
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: 260
            implicitHeight: 260

            AudioShadow {
                objectName: "coverShadow"
                anchors.fill: parent
                visible: player.hasCover
                radius: 20
                blur: 12
                offsetY: 8
                strength: 0.2
            }

            PlayerArtwork {
                objectName: "playerArtwork"
                anchors.fill: parent
                radius: 20
                hasPicture: player.hasCover
                source: player.coverSource
                symbolSize: 80
                symbolColor: Theme.blue
                placeholderOpacity: 0.15
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 24
            Layout.rightMargin: 24
            spacing: 6

            Text {
                objectName: "playerTitle"
                Layout.fillWidth: true
                text: player.title
                textFormat: Text.PlainText
                font.family: Theme.fontFamily
                font.pixelSize: 22
                font.bold: true
                color: Theme.label
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
            }

            Text {
                objectName: "playerArtist"
                Layout.fillWidth: true
                text: player.artist
                textFormat: Text.PlainText
                font.family: Theme.fontFamily
                font.pixelSize: 16
                color: Theme.secondaryLabel
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
            }

            Text {
                objectName: "playerAlbum"
                Layout.fillWidth: true
                visible: player.hasAlbum
                text: player.albumText
                textFormat: Text.PlainText
                font.family: Theme.fontFamily
                font.pixelSize: 13
                color: Theme.blue
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 32
            Layout.rightMargin: 32
            spacing: 6

            Slider {
                id: slider
                objectName: "playerSlider"
                Layout.fillWidth: true
                from: 0
                to: player.sliderTo
                value: player.sliderValue
                onMoved: player.seek(value)

                background: Rectangle {
                    x: slider.leftPadding
                    y: slider.topPadding + (slider.availableHeight - height) / 2
                    width: slider.availableWidth
                    height: 4
                    radius: 2
                    color: Theme.gray5

                    Rectangle {
                        width: slider.visualPosition * parent.width
                        height: parent.height
                        radius: 2
                        color: Theme.blue
                    }
                }

                handle: Rectangle {
                    x: slider.leftPadding + slider.visualPosition * (slider.availableWidth - width)
                    y: slider.topPadding + (slider.availableHeight - height) / 2
                    implicitWidth: 22
                    implicitHeight: 22
                    radius: 11
                    color: "white"
                    border.color: Theme.gray5
                    border.width: 1
                }
            }

            RowLayout {
                Layout.fillWidth: true

                Text {
                    objectName: "playerElapsed"
                    text: player.elapsedText
                    textFormat: Text.PlainText
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    color: Theme.secondaryLabel
                }

                Item { Layout.fillWidth: true }

                Text {
                    objectName: "playerLength"
                    text: player.durationText
                    textFormat: Text.PlainText
                    font.family: Theme.fontFamily
                    font.pixelSize: 12
                    color: Theme.secondaryLabel
                }
            }
        }

        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: 36

            AbstractButton {
                objectName: "lyricsButton"
                contentItem: AudioSymbol { symbol: "quote.bubble.fill"; size: 22; color: Theme.blue }
                onClicked: lyricsSheet.open()
            }

            // Present, enabled and without an action: there is no queue to move through.
            AbstractButton {
                objectName: "backwardButton"
                contentItem: AudioSymbol { symbol: "backward.fill"; size: 26; color: Theme.label }
            }

            AbstractButton {
                objectName: "playPauseButton"
                contentItem: AudioSymbol {
                    objectName: "playPauseSymbol"
                    symbol: player.playCircleIcon
                    size: 64
                    color: Theme.blue
                }
                onClicked: player.togglePlayPause()
            }

            AbstractButton {
                objectName: "forwardButton"
                contentItem: AudioSymbol { symbol: "forward.fill"; size: 26; color: Theme.label }
            }

            AbstractButton {
                objectName: "heartButton"
                contentItem: AudioSymbol {
                    objectName: "heartSymbol"
                    symbol: player.heartIcon
                    size: 22
                    color: player.isLiked ? Theme.red : Theme.label
                }
            }
        }

        Item { Layout.fillHeight: true }
    }

    AudioSheet {
        id: lyricsSheet
        objectName: "lyricsSheet"
        topGap: 58

        Loader {
            anchors.fill: parent
            active: lyricsSheet.visible
            sourceComponent: LyricsView {
                track: root.track
            }
        }
    }
}
