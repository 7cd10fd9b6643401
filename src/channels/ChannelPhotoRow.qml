import QtQuick
import QtQuick.Controls
import Vorlane

// A form row that picks a photo: the symbol and the row's text as a button, and a spinner after
// it while the upload runs. The button stays usable during an upload.
Item {
    id: row

    property string symbol
    property string label
    property bool busy: false
    property bool separated: false

    signal clicked()

    width: parent ? parent.width : 0
    height: 44

    AbstractButton {
        id: button
        objectName: row.objectName + "Button"
        x: Theme.padding
        anchors.verticalCenter: parent.verticalCenter
        height: 44
        onClicked: row.clicked()
        contentItem: Row {
            spacing: Theme.spacing
            AudioSymbol {
                anchors.verticalCenter: parent.verticalCenter
                symbol: row.symbol
                size: 20
                color: Theme.blue
            }
            Text {
                objectName: row.objectName + "Label"
                anchors.verticalCenter: parent.verticalCenter
                text: row.label
                font.pixelSize: 14
                font.bold: true
                color: Theme.blue
            }
        }
    }

    ActivityIndicator {
        objectName: row.objectName + "Spinner"
        anchors { left: button.right; leftMargin: Theme.spacing; verticalCenter: parent.verticalCenter }
        visible: row.busy
    }

    Rectangle {
        visible: row.separated
        anchors { left: parent.left; leftMargin: Theme.padding; right: parent.right; bottom: parent.bottom }
        height: 0.5
        color: Theme.separator
    }
}
