import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// A navigation container: a bar with the shown screen's title (its `title` property) and a back
// control once something is pushed, over a StackView. Screens bring no bar of their own; a
// screen with `largeTitle: true` gets the platform's large title under the bar.
Item {
    id: root

    property alias initialItem: stack.initialItem
    readonly property alias stack: stack
    // A trailing bar button of the root screen ("Закрыть" in sheets); none while empty.
    property string rootTrailingText: ""

    signal rootTrailingClicked()

    Rectangle {
        id: bar
        objectName: "navigationBar"
        anchors { left: parent.left; right: parent.right; top: parent.top }
        readonly property bool large: stack.currentItem !== null && stack.currentItem.largeTitle === true
        readonly property string title: stack.currentItem && stack.currentItem.title !== undefined
                                        ? stack.currentItem.title : ""
        height: large ? 44 + 52 : 44
        z: 1
        // The bar takes the colour of the screen under it, as the platform's bar does at rest.
        color: stack.currentItem && stack.currentItem.color !== undefined ? stack.currentItem.color
                                                                           : Theme.systemBackground

        Text {
            objectName: "navigationTitle"
            anchors.horizontalCenter: parent.horizontalCenter
            y: (44 - height) / 2
            // Centred, clear of the wider of the bar's two buttons; a long title shrinks a little
            // before it is cut.
            width: parent.width - 2 * (Math.max(backButton.visible ? backButton.x + backButton.width : 0,
                                                trailingButton.visible ? trailingButton.width + Theme.padding : 0) + 4)
            visible: !bar.large
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 14
            elide: Text.ElideRight
            textFormat: Text.PlainText
            text: bar.title
            font.pixelSize: Theme.headline
            font.weight: Font.DemiBold
            color: Theme.label
        }

        Text {
            objectName: "navigationLargeTitle"
            x: Theme.padding
            y: 44 + 2
            width: parent.width - 2 * Theme.padding
            visible: bar.large
            elide: Text.ElideRight
            textFormat: Text.PlainText
            text: bar.title
            font.pixelSize: Theme.largeTitle
            font.bold: true
            color: Theme.label
        }

        AbstractButton {
            id: backButton
            objectName: "navigationBackButton"
            anchors { left: parent.left; leftMargin: 8 }
            y: 0
            visible: stack.depth > 1
            height: 44
            onClicked: stack.pop()
            contentItem: Row {
                spacing: 2
                IconImage {
                    anchors.verticalCenter: parent.verticalCenter
                    source: Theme.icon("chevron.left")
                    sourceSize: Qt.size(22, 22)
                    color: Theme.blue
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Назад")
                    font.pixelSize: Theme.body
                    color: Theme.blue
                }
            }
        }

        AbstractButton {
            id: trailingButton
            objectName: "navigationTrailingButton"
            anchors { right: parent.right; rightMargin: Theme.padding }
            y: 0
            visible: stack.depth === 1 && root.rootTrailingText !== ""
            height: 44
            onClicked: root.rootTrailingClicked()
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: root.rootTrailingText
                font.pixelSize: Theme.body
                color: Theme.blue
            }
        }

        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            visible: !bar.large
            height: 0.5
            color: Theme.separator
        }
    }

    StackView {
        id: stack
        objectName: "navigationStackView"
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: parent.bottom }
        clip: true
    }
}
