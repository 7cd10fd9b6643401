import QtQuick
import QtQuick.Controls
import Vorlane

// A sheet: a modal card rising from the bottom over a dimmed screen, with rounded top corners.
// Its content is made afresh each time it opens, so the content's state starts anew.
Popup {
    id: sheet

    property Component content

    parent: Overlay.overlay
    x: 0
    y: parent ? 10 : 0
    width: parent ? parent.width : 0
    height: parent ? parent.height - 10 : 0
    modal: true
    padding: 0
    closePolicy: Popup.CloseOnEscape

    background: Rectangle {
        color: Theme.systemBackground
        radius: 10
        // Square off the bottom corners: only the top of a sheet is rounded.
        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: parent.radius
            color: parent.color
        }
    }

    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.4)
    }

    // Both ends are given: the exit leaves y below the screen, and an enter that only named its
    // start would rise to where the last exit left it, keeping a reopened sheet out of sight.
    enter: Transition {
        NumberAnimation {
            property: "y"
            from: sheet.parent ? sheet.parent.height : 0
            to: sheet.parent ? 10 : 0
            duration: 250
            easing.type: Easing.OutCubic
        }
    }
    exit: Transition {
        NumberAnimation {
            property: "y"
            to: sheet.parent ? sheet.parent.height : 0
            duration: 200
            easing.type: Easing.InCubic
        }
    }

    contentItem: Loader {
        active: sheet.opened || sheet.visible
        sourceComponent: sheet.content
    }
}
