import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorlane

// The lyrics sheet's content: read-only text of the track it was given.
Rectangle {
    id: root
    objectName: "lyricsView"
    property var track

    implicitWidth: 390
    implicitHeight: 786
    color: Theme.systemBackground

    PlayerPresenter {
        id: song
        track: root.track
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 20

        SheetHandle { }

        Text {
            objectName: "lyricsHeading"
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Текст песни")
            font.family: Theme.fontFamily
            font.pixelSize: 18
            font.bold: true
            color: Theme.label
        }

        Text {
            objectName: "lyricsTrackTitle"
            Layout.fillWidth: true
            text: song.title
            textFormat: Text.PlainText
            font.family: Theme.fontFamily
            font.pixelSize: 14
            color: Theme.secondaryLabel
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.separator
        }

        Flickable {
            id: scroller
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: width
            contentHeight: lyrics.height
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { }

            FontMetrics {
                id: lyricsMetrics
                font: lyrics.font
            }

            Text {
                id: lyrics
                objectName: "lyricsText"
                width: scroller.width
                padding: 24
                text: song.lyricsText
                textFormat: Text.PlainText
                font.family: Theme.fontFamily
                font.pixelSize: 17
                font.weight: Font.Medium
                color: Theme.label
                wrapMode: Text.Wrap
                horizontalAlignment: Text.AlignHCenter
                lineHeightMode: Text.FixedHeight
                lineHeight: lyricsMetrics.height + 10
            }
        }
    }
}
