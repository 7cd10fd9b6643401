import QtQuick
import QtQuick.Controls
import Vorlane

// A sheet: a modal card rising from the bottom over a dimmed screen, with rounded top corners.
// Its content is made afresh each time it opens, so the content's state starts anew.
// Dragged down it follows the finger; let go past a quarter of its height, or flicked down, it
// closes just as close() would, else it springs back. A tap beside it does not close it.
Popup {
    id: sheet

    property Component content
    // How far the finger has pulled the sheet down from where it stands.
    property real dragOffset: 0

    // From close() until it is gone: the sheet still shows while it slides away, but its content
    // takes no more presses or keys, so a second click on a form's button lands nowhere.
    property bool closing: false

    readonly property real restY: parent ? 10 : 0
    // Speed, in pixels a second, of a flick that closes the sheet (down) or keeps it (up) wherever it is let go.
    readonly property real flickSpeed: 600

    parent: Overlay.overlay
    x: 0
    y: restY + dragOffset
    width: parent ? parent.width : 0
    height: parent ? parent.height - 10 : 0
    modal: true
    padding: 0
    // Holding the focus once open, the topmost sheet closes on Escape wherever the user clicked
    // before, as the swipe down does; the form it holds sends nothing.
    focus: true
    closePolicy: Popup.CloseOnEscape

    onAboutToShow: {
        closing = false
        // Wheel turns reach a sheet opened over another (PopupWheelRelay), and a picker in a sheet
        // gives the keyboard back to the field it was opened from, not to its button (KeyboardHome).
        PopupWheelRelay.install(parent)
        KeyboardHome.follow(parent)
    }
    onAboutToHide: closing = true
    onClosed: {
        closing = false
        springBack.stop()
        dragOffset = 0
    }

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

    // The popup sets the dimmer's own opacity when it shows and hides, so the fade that follows
    // the drag lives in the colour.
    Overlay.modal: Rectangle {
        color: Qt.rgba(0, 0, 0, 0.4 * Math.max(0, 1 - sheet.dragOffset / Math.max(1, sheet.height)))
    }

    // Both ends are given: the exit leaves y below the screen, and an enter that only named its
    // start would rise to where the last exit left it, keeping a reopened sheet out of sight.
    enter: Transition {
        NumberAnimation {
            property: "y"
            from: sheet.parent ? sheet.parent.height : 0
            to: sheet.restY
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

    NumberAnimation {
        id: springBack
        target: sheet
        property: "dragOffset"
        to: 0
        duration: 200
        easing.type: Easing.OutCubic
    }

    contentItem: Loader {
        active: sheet.opened || sheet.visible
        enabled: !sheet.closing
        sourceComponent: sheet.content

        // Sits behind the content, so buttons keep their taps; a list that scrolls or a field that
        // selects text claims a drag before this larger threshold is reached, and keeps it.
        DragHandler {
            target: null
            xAxis.enabled: false
            dragThreshold: Math.max(20, Qt.styleHints.startDragDistance + 5)
            enabled: sheet.opened

            onActiveChanged: {
                if (active) {
                    springBack.stop()
                    return
                }
                // The speed is the one the pointer reports at the release, from its own timestamps;
                // a quick flick decides either way, however far the sheet was pulled.
                const speed = centroid.velocity.y
                if (speed > sheet.flickSpeed || (sheet.dragOffset > sheet.height / 4 && speed > -sheet.flickSpeed))
                    sheet.close()
                else
                    springBack.start()
            }
            onTranslationChanged: {
                if (active)
                    sheet.dragOffset = Math.max(0, translation.y)
            }
        }
    }
}
