import QtQuick
import Vorlane

// A section of a grouped form: its header in small capitals above a white rounded card that holds
// the rows, each row taking its own height.
Column {
    id: section

    property string header
    default property alias rows: card.data

    spacing: 6

    Text {
        x: 20 + Theme.padding
        width: section.width - 2 * x
        textFormat: Text.PlainText
        text: section.header
        font.pixelSize: Theme.footnote
        font.capitalization: Font.AllUppercase
        color: Theme.secondaryLabel
        elide: Text.ElideRight
    }

    Rectangle {
        x: 20
        width: section.width - 40
        height: card.implicitHeight
        radius: 10
        color: Theme.secondaryGroupedBackground

        Column {
            id: card
            width: parent.width
        }
    }
}
