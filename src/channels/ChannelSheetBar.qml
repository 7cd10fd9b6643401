import QtQuick
import QtQuick.Controls
import Vorlane

// The bar of a channel form or composer sheet: "Отмена" on the left, the inline title, and the
// bold action on the right, grey while it may not be used.
Rectangle {
    id: bar

    property string title
    property string actionText
    property bool actionEnabled: true

    signal cancelClicked()
    signal actionClicked()

    height: 56
    color: Theme.groupedBackground

    AbstractButton {
        id: cancelButton
        objectName: "cancelButton"
        anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
        height: 44
        onClicked: bar.cancelClicked()
        contentItem: Text {
            verticalAlignment: Text.AlignVCenter
            text: qsTr("Отмена")
            font.pixelSize: Theme.body
            color: Theme.blue
        }
    }

    // Centred on the bar when it fits there, else moved along into the room between the buttons,
    // as the platform's inline title does, and only then made smaller.
    Text {
        id: titleText
        objectName: "sheetTitle"
        readonly property real roomLeft: cancelButton.x + cancelButton.width + Theme.spacing
        readonly property real roomRight: actionButton.x - Theme.spacing
        width: Math.min(implicitWidth, roomRight - roomLeft)
        x: Math.max(roomLeft, Math.min((bar.width - width) / 2, roomRight - width))
        anchors.verticalCenter: parent.verticalCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 14
        elide: Text.ElideRight
        text: bar.title
        font.pixelSize: Theme.headline
        font.weight: Font.DemiBold
        color: Theme.label
    }

    AbstractButton {
        id: actionButton
        objectName: "actionButton"
        anchors { right: parent.right; rightMargin: Theme.padding; verticalCenter: parent.verticalCenter }
        height: 44
        enabled: bar.actionEnabled
        onClicked: bar.actionClicked()
        contentItem: Text {
            verticalAlignment: Text.AlignVCenter
            text: bar.actionText
            font.pixelSize: Theme.callout
            font.bold: true
            color: bar.actionEnabled ? Theme.blue : Theme.gray2
        }
    }

    Rectangle {
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 0.5
        color: Theme.separator
    }
}
