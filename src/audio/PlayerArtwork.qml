import QtQuick
import Vorlane

// A track's cover in a rounded tile, or the music-note tile when the track has no usable cover.
Item {
    id: artwork
    property url source
    property bool hasPicture: false
    property real radius: 6
    property real symbolSize: 20
    property color symbolColor: Theme.label
    property real placeholderOpacity: 0.2
    // What lies behind the tile: it rounds the corners of the picture.
    property color backdrop: Theme.systemBackground

    Rectangle {
        objectName: "artworkPlaceholder"
        anchors.fill: parent
        visible: !artwork.hasPicture
        radius: artwork.radius
        color: Qt.rgba(Theme.blue.r, Theme.blue.g, Theme.blue.b, artwork.placeholderOpacity)

        AudioSymbol {
            anchors.centerIn: parent
            symbol: "music.note"
            size: artwork.symbolSize
            color: artwork.symbolColor
        }
    }

    // Shown while the picture loads, and in its place when it fails.
    Rectangle {
        anchors.fill: parent
        visible: artwork.hasPicture
        radius: artwork.radius
        color: Qt.rgba(Theme.gray.r, Theme.gray.g, Theme.gray.b, 0.3)
    }

    Image {
        id: picture
        objectName: "artworkPicture"
        anchors.fill: parent
        visible: artwork.hasPicture && status === Image.Ready
        source: artwork.hasPicture ? artwork.source : ""
        asynchronous: true
        fillMode: Image.PreserveAspectCrop
        sourceSize: Qt.size(width * 2, height * 2)
        clip: true
    }

    // Rounds the picture's corners without a shader: an outline in the backdrop's colour whose
    // inner edge is the tile's rounded shape.
    Rectangle {
        visible: picture.visible
        anchors.fill: parent
        anchors.margins: -2
        radius: artwork.radius + 2
        color: "transparent"
        border.width: 2
        border.color: artwork.backdrop
    }
}
