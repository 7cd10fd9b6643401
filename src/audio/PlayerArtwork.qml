import QtQuick
import Vorlane

// A track's cover in a rounded tile, or the music-note tile when the track has no usable cover.
Item {
    id: artwork
    property url source
    property bool hasPicture: false
    property real radius: 6
    property real symbolSize: 17
    property color symbolColor: Theme.label
    property real placeholderOpacity: 0.2

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
        visible: artwork.hasPicture && picture.status !== RoundedImage.Ready
        radius: artwork.radius
        color: Qt.rgba(Theme.gray.r, Theme.gray.g, Theme.gray.b, 0.3)
    }

    // Scaled to fill the tile and cut to its rounded shape on the CPU, so that all four corners
    // are the same with every scene graph backend.
    RoundedImage {
        id: picture
        objectName: "artworkPicture"
        anchors.fill: parent
        visible: artwork.hasPicture && status === RoundedImage.Ready
        source: artwork.hasPicture ? artwork.source : ""
        radius: artwork.radius
    }
}
