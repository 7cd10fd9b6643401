pragma Singleton
import QtQuick

// The platform's light-mode system colours and metrics, in one place for every screen.
QtObject {
    readonly property color blue: "#007AFF"
    readonly property color red: "#FF3B30"
    readonly property color green: "#34C759"
    readonly property color orange: "#FF9500"
    readonly property color gray: "#8E8E93"
    readonly property color gray2: "#AEAEB2"
    readonly property color gray5: "#E5E5EA"
    readonly property color gray6: "#F2F2F7"
    readonly property color label: "#000000"
    readonly property color secondaryLabel: Qt.rgba(60 / 255, 60 / 255, 67 / 255, 0.6)
    readonly property color separator: Qt.rgba(60 / 255, 60 / 255, 67 / 255, 0.29)
    readonly property color systemBackground: "#FFFFFF"
    readonly property color secondarySystemBackground: "#F2F2F7"
    readonly property color groupedBackground: "#F2F2F7"
    readonly property color secondaryGroupedBackground: "#FFFFFF"

    readonly property int padding: 16
    readonly property int spacing: 8

    // Text styles of the platform, in pixels equal to its points.
    readonly property int largeTitle: 34
    readonly property int title: 28
    readonly property int title2: 22
    readonly property int title3: 20
    readonly property int headline: 17
    readonly property int body: 17
    readonly property int callout: 16
    readonly property int subheadline: 15
    readonly property int footnote: 13
    readonly property int caption: 12
    readonly property int caption2: 11

    readonly property string fontFamily: "DejaVu Sans"

    // Icons are our own SVGs named after the symbol they stand for: "music.note" -> music.note.svg.
    function icon(name) {
        return "qrc:/Vorlane/icons/" + name + ".svg"
    }
}
