import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The "Плейлисты" segment: a header bar with the create button, then the playlists, newest
// first, each with its visibility and track count and, when public, its link to copy.
Item {
    id: root

    required property MusicViewModel viewModel

    signal createRequested()

    Item {
        id: headerBar
        objectName: "playlistHeaderRow"
        width: parent.width
        height: createButton.height + 2 * 10

        Text {
            objectName: "playlistSectionHeader"
            anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            // In a narrow window it shrinks a little to stay clear of the create button.
            width: Math.min(implicitWidth, createButton.x - x - Theme.spacing)
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 11
            elide: Text.ElideRight
            textFormat: Text.PlainText
            text: qsTr("Мои Плейлисты")
            font.pixelSize: 16
            font.bold: true
            color: Theme.label
        }

        AbstractButton {
            id: createButton
            objectName: "createPlaylistButton"
            anchors { right: parent.right; rightMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            text: qsTr("Создать плейлист")
            padding: 8
            leftPadding: 12
            rightPadding: 12
            onClicked: root.createRequested()
            background: Rectangle {
                radius: 12
                color: Theme.blue
                opacity: createButton.pressed ? 0.7 : 1
            }
            contentItem: Row {
                spacing: 6
                IconImage {
                    anchors.verticalCenter: parent.verticalCenter
                    source: Theme.icon("plus.circle.fill")
                    sourceSize: Qt.size(16, 16)
                    color: "white"
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: createButton.text
                    font.pixelSize: 14
                    font.bold: true
                    color: "white"
                }
            }
        }
    }

    ListView {
        id: list
        objectName: "playlistList"
        anchors { left: parent.left; right: parent.right; top: headerBar.bottom; bottom: parent.bottom }
        model: root.viewModel.playlists
        clip: true
        topMargin: 20
        leftMargin: 20
        rightMargin: 20
        // Room to scroll the last row out from under the mini player.
        bottomMargin: 96
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
            text: qsTr("У вас пока нет созданных плейлистов. Нажмите 'Создать плейлист' вышe!")
            font.pixelSize: 14
            color: Theme.secondaryLabel
        }

        delegate: Item {
            id: row
            required property int index
            required property int playlistId
            required property string name
            required property string description
            required property string coverSource
            required property bool isPublic
            required property string visibilityText
            required property string trackCountText
            required property bool showsLink
            required property string linkText

            objectName: "playlistRow" + index
            width: ListView.view.width - ListView.view.leftMargin - ListView.view.rightMargin
            height: content.height + 2 * 10

            Column {
                id: content
                x: Theme.padding
                y: 10
                width: parent.width - 2 * Theme.padding
                spacing: 8

                Row {
                    spacing: 14
                    width: parent.width

                    Rectangle {
                        id: cover
                        width: 56
                        height: 56
                        radius: 10
                        color: row.coverSource !== "" ? Qt.rgba(142 / 255, 142 / 255, 147 / 255, 0.3)
                                                      : Qt.rgba(0, 122 / 255, 1, 0.15)
                        IconImage {
                            anchors.centerIn: parent
                            visible: row.coverSource === ""
                            source: Theme.icon("music.note.list")
                            sourceSize: Qt.size(24, 24)
                            color: Theme.blue
                        }
                        RoundedImage {
                            anchors.fill: parent
                            radius: 10
                            source: row.coverSource
                            visible: row.coverSource !== "" && status === RoundedImage.Ready
                        }
                    }

                    Column {
                        width: parent.width - cover.width - parent.spacing
                        anchors.verticalCenter: cover.verticalCenter
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
                            text: row.description
                            font.pixelSize: 13
                            color: Theme.secondaryLabel
                        }
                        Row {
                            spacing: 8
                            Text {
                                objectName: "visibilityText"
                                text: row.visibilityText
                                font.pixelSize: 11
                                font.weight: Font.DemiBold
                                color: row.isPublic ? Theme.green : Theme.orange
                            }
                            Text {
                                objectName: "trackCountText"
                                text: row.trackCountText
                                font.pixelSize: 11
                                color: Theme.secondaryLabel
                            }
                        }
                    }
                }

                Rectangle {
                    objectName: "linkStrip"
                    visible: row.showsLink
                    width: parent.width
                    height: visible ? 30 : 0
                    radius: 6
                    color: Qt.rgba(0, 122 / 255, 1, 0.08)

                    Text {
                        objectName: "linkText"
                        anchors { left: parent.left; leftMargin: 8; right: copyButton.left; rightMargin: 8 }
                        anchors.verticalCenter: parent.verticalCenter
                        // Cut in the middle, so that the code at the link's end stays readable.
                        elide: Text.ElideMiddle
                        maximumLineCount: 1
                        textFormat: Text.PlainText
                        text: row.linkText
                        font.family: "DejaVu Sans Mono"
                        font.pixelSize: 11
                        font.weight: Font.Medium
                        color: Theme.blue
                    }
                    AbstractButton {
                        id: copyButton
                        objectName: "copyLinkButton"
                        anchors { right: parent.right; rightMargin: 8; verticalCenter: parent.verticalCenter }
                        height: 28
                        text: qsTr("Копировать")
                        onClicked: root.viewModel.copyShareLink(row.playlistId)
                        contentItem: Text {
                            verticalAlignment: Text.AlignVCenter
                            text: parent.text
                            font.pixelSize: 11
                            font.bold: true
                            color: Theme.blue
                        }
                    }
                }
            }

            Rectangle {
                visible: row.index < list.count - 1
                anchors { left: parent.left; leftMargin: Theme.padding; right: parent.right; bottom: parent.bottom }
                height: 1
                color: Theme.separator
            }
        }
    }
}
