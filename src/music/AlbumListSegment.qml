import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The "Альбомы" segment: the albums the model derives, each on a disc tile; rows do nothing.
ListView {
    id: list

    required property MusicViewModel viewModel

    readonly property int rowHeight: 68

    objectName: "albumList"
    model: viewModel.albums
    clip: true
    leftMargin: 20
    rightMargin: 20
    // Room to scroll the last row out from under the mini player.
    bottomMargin: 96
    boundsBehavior: Flickable.StopAtBounds

    header: Item {
        objectName: "albumHeaderRow"
        width: list.width - list.leftMargin - list.rightMargin
        height: 44
        Text {
            anchors { left: parent.left; leftMargin: Theme.padding; bottom: parent.bottom; bottomMargin: 7 }
            textFormat: Text.PlainText
            text: qsTr("Музыкальные Альбомы")
            font.pixelSize: Theme.footnote
            font.capitalization: Font.AllUppercase
            color: Theme.secondaryLabel
        }
    }

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
        objectName: "emptyAlbumsText"
        parent: list.contentItem
        visible: list.count === 0
        x: Theme.padding
        width: list.width - list.leftMargin - list.rightMargin - 2 * Theme.padding
        topPadding: 12
        bottomPadding: 12
        wrapMode: Text.Wrap
        textFormat: Text.PlainText
        text: qsTr("Альбомы отсутствуют. Загрузите треки с указанием названия альбома!")
        font.pixelSize: 14
        color: Theme.secondaryLabel
    }

    delegate: Item {
        id: row
        required property int index
        required property string title
        required property string subtitle

        objectName: "albumRow" + index
        width: ListView.view.width - ListView.view.leftMargin - ListView.view.rightMargin
        height: list.rowHeight

        Rectangle {
            id: tile
            x: Theme.padding
            anchors.verticalCenter: parent.verticalCenter
            width: 52
            height: 52
            radius: 10
            color: Qt.rgba(175 / 255, 82 / 255, 222 / 255, 0.15)
            IconImage {
                anchors.centerIn: parent
                source: Theme.icon("opticaldisc")
                sourceSize: Qt.size(28, 28)
                color: "#AF52DE"
            }
        }
        Column {
            anchors { left: tile.right; leftMargin: 14; right: parent.right; rightMargin: Theme.padding }
            anchors.verticalCenter: parent.verticalCenter
            spacing: 3
            Text {
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                text: row.title
                font.pixelSize: 16
                font.bold: true
                color: Theme.label
            }
            Text {
                objectName: "albumSubtitle"
                width: parent.width
                elide: Text.ElideRight
                textFormat: Text.PlainText
                text: row.subtitle
                font.pixelSize: 13
                color: Theme.secondaryLabel
            }
        }
        Rectangle {
            visible: row.index < list.count - 1
            anchors { left: tile.right; leftMargin: 14; right: parent.right; bottom: parent.bottom }
            height: 1
            color: Theme.separator
        }
    }
}
