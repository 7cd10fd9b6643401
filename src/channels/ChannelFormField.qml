import QtQuick
import QtQuick.Controls
import Vorlane

// A single-line text row of a grouped form, with a hairline under it unless it is the last.
TextField {
    id: field

    property bool separated: true

    width: parent ? parent.width : 0
    height: 44
    leftPadding: Theme.padding
    rightPadding: Theme.padding
    font.pixelSize: Theme.body
    color: Theme.label
    placeholderTextColor: Qt.rgba(60 / 255, 60 / 255, 67 / 255, 0.3)
    selectByMouse: true
    // A text handed in (the channel being edited) puts the cursor at its end, which scrolls a long
    // text so that only its tail shows: until the user steps in, the row reads from the start.
    onTextChanged: if (!activeFocus) cursorPosition = 0
    background: Item {
        Rectangle {
            visible: field.separated
            anchors { left: parent.left; leftMargin: Theme.padding; right: parent.right; bottom: parent.bottom }
            height: 0.5
            color: Theme.separator
        }
    }
}
