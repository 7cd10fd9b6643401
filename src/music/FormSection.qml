import QtQuick
import Vorlane

// One section of a grouped form: its header above a white rounded card holding the rows.
Column {
    id: root

    property string header
    default property alias rows: card.data

    width: parent ? parent.width : 0
    spacing: 6

    Text {
        x: Theme.padding + 20
        width: root.width - 2 * (Theme.padding + 20)
        textFormat: Text.PlainText
        text: root.header
        font.pixelSize: Theme.footnote
        font.capitalization: Font.AllUppercase
        color: Theme.secondaryLabel
    }

    Rectangle {
        x: 20
        width: root.width - 40
        height: card.childrenRect.height
        radius: 10
        color: Theme.secondaryGroupedBackground

        Column {
            id: card
            width: parent.width
        }
    }
}
