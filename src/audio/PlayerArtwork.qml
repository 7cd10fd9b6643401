import QtQuick
import QtQuick.Shapes
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

    // Rounds the picture's corners without a shader: the four corner areas outside the
    // rounded shape are painted over in the colour of what lies behind the tile.
    Shape {
        anchors.fill: parent
        visible: picture.visible
        antialiasing: true

        ShapePath {
            fillColor: artwork.backdrop
            strokeColor: "transparent"
            startX: 0
            startY: 0
            PathLine { x: artwork.radius; y: 0 }
            PathArc { x: 0; y: artwork.radius; radiusX: artwork.radius; radiusY: artwork.radius; direction: PathArc.Counterclockwise }
            PathLine { x: 0; y: 0 }
        }
        ShapePath {
            fillColor: artwork.backdrop
            strokeColor: "transparent"
            startX: artwork.width
            startY: 0
            PathLine { x: artwork.width; y: artwork.radius }
            PathArc { x: artwork.width - artwork.radius; y: 0; radiusX: artwork.radius; radiusY: artwork.radius; direction: PathArc.Counterclockwise }
            PathLine { x: artwork.width; y: 0 }
        }
        ShapePath {
            fillColor: artwork.backdrop
            strokeColor: "transparent"
            startX: artwork.width
            startY: artwork.height
            PathLine { x: artwork.width - artwork.radius; y: artwork.height }
            PathArc { x: artwork.width; y: artwork.height - artwork.radius; radiusX: artwork.radius; radiusY: artwork.radius; direction: PathArc.Counterclockwise }
            PathLine { x: artwork.width; y: artwork.height }
        }
        ShapePath {
            fillColor: artwork.backdrop
            strokeColor: "transparent"
            startX: 0
            startY: artwork.height
            PathLine { x: 0; y: artwork.height - artwork.radius }
            PathArc { x: artwork.radius; y: artwork.height; radiusX: artwork.radius; radiusY: artwork.radius; direction: PathArc.Counterclockwise }
            PathLine { x: 0; y: artwork.height }
        }
    }
}
