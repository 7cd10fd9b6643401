import QtQuick
import Vorlane

// A field of the sign-in form: default padding on a rounded grey background, and a placeholder
// while it is empty. Built on the plain text input, so that the sign-in screen's first frame
// reads no control library; the sizes, colours and placeholder follow the Basic text field.
TextInput {
    id: field

    property string placeholderText: ""

    // The text input's implicit size is its own; the form sets the width.
    height: Math.max(contentHeight, placeholder.implicitHeight) + topPadding + bottomPadding
    padding: Theme.padding
    leftPadding: padding + 4
    verticalAlignment: TextInput.AlignVCenter
    font.pixelSize: Theme.body
    color: Theme.label
    selectionColor: "#0066ff"
    selectedTextColor: "#090909"
    selectByMouse: true
    activeFocusOnTab: true

    Rectangle {
        z: -1
        anchors.fill: parent
        radius: 12
        color: Theme.secondarySystemBackground
    }

    // The text cursor under the mouse, as over any editable text; the presses go to the input.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        cursorShape: Qt.IBeamCursor
    }

    Text {
        id: placeholder
        x: field.leftPadding
        y: field.topPadding
        width: field.width - (field.leftPadding + field.rightPadding)
        height: field.height - (field.topPadding + field.bottomPadding)
        text: field.placeholderText
        font: field.font
        color: Qt.rgba(60 / 255, 60 / 255, 67 / 255, 0.3)
        verticalAlignment: field.verticalAlignment
        visible: !field.length && !field.preeditText
                 && (!field.activeFocus || field.horizontalAlignment !== Qt.AlignHCenter)
        elide: Text.ElideRight
        renderType: field.renderType
    }
}
