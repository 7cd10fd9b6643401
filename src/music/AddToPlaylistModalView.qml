import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// Puts one track into one of the model's playlists, private ones included: a tap adds it and
// closes the sheet, also when the playlist holds the track already.
Rectangle {
    id: root

    required property var track
    required property MusicViewModel viewModel

    signal dismissRequested()

    color: Theme.groupedBackground

    FormSheetBar {
        id: bar
        width: parent.width
        title: qsTr("Добавить в плейлист")
        trailingText: qsTr("Закрыть")
        onTrailingClicked: root.dismissRequested()
    }

    ListView {
        id: list
        objectName: "addToPlaylistList"
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: parent.bottom }
        model: root.viewModel.playlists
        clip: true
        topMargin: 24
        leftMargin: 20
        rightMargin: 20
        bottomMargin: 24
        boundsBehavior: Flickable.StopAtBounds

        Rectangle {
            parent: list.contentItem
            z: -1
            y: 0
            width: list.width - list.leftMargin - list.rightMargin
            height: list.count > 0 ? list.contentHeight : emptyText.height
            radius: 10
            color: Theme.secondaryGroupedBackground
        }

        Text {
            id: emptyText
            objectName: "emptyPlaylistsText"
            parent: list.contentItem
            visible: list.count === 0
            x: Theme.padding
            width: list.width - list.leftMargin - list.rightMargin - 2 * Theme.padding
            topPadding: 20
            bottomPadding: 20
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            text: qsTr("У вас пока нет созданных плейлистов. Создайте плейлист во вкладке 'Плейлисты'!")
            font.pixelSize: Theme.body
            color: Theme.secondaryLabel
        }

        delegate: AbstractButton {
            id: row
            required property int index
            required property int playlistId
            required property string name
            required property string sheetSubtitle

            objectName: "addToPlaylistRow" + index
            width: ListView.view.width - ListView.view.leftMargin - ListView.view.rightMargin
            height: 62
            onClicked: {
                root.viewModel.addTrackToPlaylist(root.track, row.playlistId)
                root.dismissRequested()
            }

            background: Rectangle {
                radius: 10
                color: row.pressed ? Theme.gray5 : "transparent"
            }

            contentItem: Item {
                IconImage {
                    id: listIcon
                    anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
                    source: Theme.icon("music.note.list")
                    sourceSize: Qt.size(20, 20)
                    color: Theme.blue
                }
                Column {
                    anchors { left: listIcon.right; leftMargin: 12; right: plus.left; rightMargin: 12 }
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 2
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
                        objectName: "sheetSubtitle"
                        width: parent.width
                        elide: Text.ElideRight
                        textFormat: Text.PlainText
                        text: row.sheetSubtitle
                        font.pixelSize: 12
                        color: Theme.secondaryLabel
                    }
                }
                IconImage {
                    id: plus
                    anchors { right: parent.right; rightMargin: Theme.padding; verticalCenter: parent.verticalCenter }
                    source: Theme.icon("plus.circle.fill")
                    sourceSize: Qt.size(22, 22)
                    color: Theme.blue
                }
                Rectangle {
                    visible: row.index < list.count - 1
                    anchors { left: listIcon.right; leftMargin: 12; right: parent.right; bottom: parent.bottom }
                    height: 1
                    color: Theme.separator
                }
            }
        }
    }
}
