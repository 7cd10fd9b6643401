import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The search row above every segment: a magnifying glass and a one-line field.
Item {
    id: root

    property alias text: field.text

    implicitHeight: box.height + 8

    Rectangle {
        id: box
        x: Theme.padding
        y: 8
        width: root.width - 2 * Theme.padding
        height: field.implicitHeight + 2 * 10
        radius: 12
        color: Theme.secondarySystemBackground

        IconImage {
            id: glass
            x: 10
            anchors.verticalCenter: parent.verticalCenter
            source: Theme.icon("magnifyingglass")
            sourceSize: Qt.size(17, 17)
            color: Theme.gray
        }

        TextField {
            id: field
            objectName: "searchField"
            anchors { left: glass.right; leftMargin: 8; right: parent.right; rightMargin: 10 }
            anchors.verticalCenter: parent.verticalCenter
            padding: 0
            placeholderText: qsTr("Поиск трека или исполнителя...")
            placeholderTextColor: Theme.gray
            // No automatic capitalisation; the text is searched as typed.
            inputMethodHints: Qt.ImhNoAutoUppercase
            font.pixelSize: Theme.body
            background: null
        }
    }
}
