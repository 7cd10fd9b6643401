import QtQuick
import Vorlane

// A section of a grouped form: its header over a rounded white card holding the rows.
Column {
    id: section

    property string header
    default property alias rows: card.data

    width: parent ? parent.width : 0
    spacing: 7

    Text {
        x: Theme.padding * 2
        width: section.width - 4 * Theme.padding
        text: section.header
        font.pixelSize: Theme.footnote
        font.capitalization: Font.AllUppercase
        color: Theme.secondaryLabel
        elide: Text.ElideRight
    }

    Rectangle {
        x: Theme.padding
        width: section.width - 2 * Theme.padding
        height: card.height
        radius: 10
        color: Theme.secondaryGroupedBackground

        Column {
            id: card
            width: parent.width
        }
    }
}
