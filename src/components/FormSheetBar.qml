import QtQuick
import QtQuick.Controls
import Vorlane

// The bar at the top of a sheet: an inline title between an optional leading and an optional
// trailing text button, as a navigation bar inside a sheet shows them.
Rectangle {
    id: root

    property string title
    property string leadingText: ""
    property string trailingText: ""
    property bool trailingEnabled: true
    property bool trailingBold: false

    signal leadingClicked()
    signal trailingClicked()

    implicitHeight: 56
    color: Theme.groupedBackground

    // The title stays centred, clear of the wider of the two buttons.
    readonly property real buttonRoom: Math.max(leading.visible ? leading.width : 0,
                                                trailing.visible ? trailing.width : 0) + Theme.padding + 2

    Text {
        objectName: "sheetTitle"
        anchors.centerIn: parent
        width: parent.width - 2 * root.buttonRoom
        horizontalAlignment: Text.AlignHCenter
        // A long title shrinks a little before it is cut.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 14
        elide: Text.ElideRight
        textFormat: Text.PlainText
        text: root.title
        font.pixelSize: Theme.headline
        font.weight: Font.DemiBold
        color: Theme.label
    }

    AbstractButton {
        id: leading
        objectName: "sheetLeadingButton"
        anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
        height: 44
        visible: root.leadingText !== ""
        text: root.leadingText
        onClicked: root.leadingClicked()
        contentItem: Text {
            verticalAlignment: Text.AlignVCenter
            text: parent.text
            font.pixelSize: Theme.body
            color: Theme.blue
        }
    }

    AbstractButton {
        id: trailing
        objectName: "sheetTrailingButton"
        anchors { right: parent.right; rightMargin: Theme.padding; verticalCenter: parent.verticalCenter }
        height: 44
        visible: root.trailingText !== ""
        enabled: root.trailingEnabled
        text: root.trailingText
        onClicked: root.trailingClicked()
        contentItem: Text {
            verticalAlignment: Text.AlignVCenter
            text: parent.text
            font.pixelSize: root.trailingBold ? 16 : Theme.body
            font.bold: root.trailingBold
            color: parent.enabled ? Theme.blue : Theme.gray2
        }
    }

    Rectangle {
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 0.5
        color: Theme.separator
    }
}
