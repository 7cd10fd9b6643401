import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The "Все треки" segment: the searched tracks in one inset grouped section. A tap on a row
// plays its track; the two buttons on its right add it to a playlist and like it.
ListView {
    id: list

    required property MusicViewModel viewModel
    required property TrackSearchModel searchModel

    signal uploadRequested()
    signal addToPlaylistRequested(var track)

    readonly property int rowHeight: 64

    objectName: "trackList"
    model: searchModel
    clip: true
    leftMargin: 20
    rightMargin: 20
    // Room to scroll the last row out from under the mini player.
    bottomMargin: 96
    boundsBehavior: Flickable.StopAtBounds

    header: Item {
        objectName: "trackHeaderRow"
        width: list.width - list.leftMargin - list.rightMargin
        height: 44
        Text {
            objectName: "trackSectionHeader"
            anchors { left: parent.left; leftMargin: Theme.padding; bottom: parent.bottom; bottomMargin: 7 }
            // In a narrow window it shrinks a little to stay clear of the upload button.
            width: uploadButton.x - x - Theme.spacing
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 10
            elide: Text.ElideRight
            textFormat: Text.PlainText
            text: qsTr("Музыка (MP3, WAV, FLAC)")
            font.pixelSize: Theme.footnote
            font.capitalization: Font.AllUppercase
            color: Theme.secondaryLabel
        }
        AbstractButton {
            id: uploadButton
            objectName: "uploadTrackButton"
            anchors { right: parent.right; rightMargin: Theme.padding; bottom: parent.bottom; bottomMargin: 2 }
            height: 28
            text: qsTr("+ Загрузить трек")
            onClicked: list.uploadRequested()
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: parent.text
                font.pixelSize: 13
                font.bold: true
                color: Theme.blue
            }
        }
    }

    // One rounded card behind every row, as an inset grouped list draws its section.
    Rectangle {
        parent: list.contentItem
        z: -1
        y: 0
        width: list.width - list.leftMargin - list.rightMargin
        height: list.count > 0 ? list.count * list.rowHeight : emptyText.height
        radius: 10
        color: Theme.secondaryGroupedBackground
    }

    Text {
        id: emptyText
        objectName: "emptyTracksText"
        parent: list.contentItem
        visible: list.count === 0
        x: Theme.padding
        width: list.width - list.leftMargin - list.rightMargin - 2 * Theme.padding
        topPadding: 12
        bottomPadding: 12
        wrapMode: Text.Wrap
        textFormat: Text.PlainText
        text: list.searchModel.emptyText
        font.pixelSize: 14
        color: Theme.secondaryLabel
    }

    delegate: AbstractButton {
        id: row
        required property int index
        required property string title
        required property string artist
        required property string coverSource
        required property bool isLiked
        required property var track

        objectName: "trackRow" + index
        width: ListView.view.width - ListView.view.leftMargin - ListView.view.rightMargin
        height: list.rowHeight
        onClicked: AudioPlayerManager.play(row.track)

        background: Rectangle {
            radius: 10
            color: row.pressed ? Theme.gray5 : "transparent"
        }

        contentItem: Item {
            Rectangle {
                id: cover
                objectName: "trackCover"
                x: Theme.padding
                anchors.verticalCenter: parent.verticalCenter
                width: 48
                height: 48
                radius: 8
                // Grey while the picture loads or when it cannot be had; blue behind the note.
                color: row.coverSource !== "" ? Qt.rgba(142 / 255, 142 / 255, 147 / 255, 0.3)
                                              : Qt.rgba(0, 122 / 255, 1, 0.2)
                IconImage {
                    anchors.centerIn: parent
                    visible: row.coverSource === ""
                    source: Theme.icon("music.note")
                    sourceSize: Qt.size(22, 22)
                    color: Theme.blue
                }
                RoundedImage {
                    anchors.fill: parent
                    radius: 8
                    source: row.coverSource
                    visible: row.coverSource !== "" && status === RoundedImage.Ready
                }
            }
            Column {
                anchors { left: cover.right; leftMargin: 12; right: addButton.left; rightMargin: 8 }
                anchors.verticalCenter: parent.verticalCenter
                spacing: 3
                Text {
                    width: parent.width
                    elide: Text.ElideRight
                    textFormat: Text.PlainText
                    text: row.title
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                    color: Theme.label
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
            AbstractButton {
                id: addButton
                objectName: "addToPlaylistButton"
                anchors { right: likeButton.left; rightMargin: 4; verticalCenter: parent.verticalCenter }
                width: 36
                height: 44
                onClicked: list.addToPlaylistRequested(row.track)
                contentItem: IconImage {
                    source: Theme.icon("plus.square.fill.on.square.fill")
                    sourceSize: Qt.size(22, 22)
                    fillMode: Image.Pad
                    color: Theme.blue
                }
            }
            AbstractButton {
                id: likeButton
                objectName: "likeButton"
                anchors { right: parent.right; rightMargin: 8; verticalCenter: parent.verticalCenter }
                width: 36
                height: 44
                onClicked: list.viewModel.toggleLike(row.track)
                contentItem: IconImage {
                    objectName: "likeIcon"
                    source: Theme.icon(row.isLiked ? "heart.fill" : "heart")
                    sourceSize: Qt.size(22, 22)
                    fillMode: Image.Pad
                    color: row.isLiked ? Theme.red : Theme.gray
                }
            }
            Rectangle {
                visible: row.index < list.count - 1
                anchors { left: cover.right; leftMargin: 12; right: parent.right; bottom: parent.bottom }
                height: 1
                color: Theme.separator
            }
        }
    }
}
