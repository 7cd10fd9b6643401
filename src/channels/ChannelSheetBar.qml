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

    Text {
        objectName: "sheetTitle"
        anchors.centerIn: parent
        width: parent.width - 2 * 120
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
        text: bar.title
        font.pixelSize: Theme.headline
        font.weight: Font.DemiBold
        color: Theme.label
    }

    AbstractButton {
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
