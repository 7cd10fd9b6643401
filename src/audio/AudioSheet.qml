import QtQuick
import QtQuick.Controls
import Vorlane

// A sheet rising from the bottom over the whole window; dragging it down closes it.
Drawer {
    id: sheet
    property real topGap: 48

    parent: Overlay.overlay
    edge: Qt.BottomEdge
    width: parent ? parent.width : 0
    height: parent ? parent.height - topGap : 0
    // Opened by the screens only, never by a swipe from the window's edge.
    dragMargin: 0
    modal: true
    // Swiped down (or left with Escape, wherever the focus was: it takes it when open); a tap
    // beside it does not close it.
    focus: true
    closePolicy: Popup.CloseOnEscape
    padding: 0
    // Qt's overlay would keep the wheel from the lyrics sheet, which opens over the player sheet.
    onAboutToShow: PopupWheelRelay.install(parent)

    background: Rectangle {
        color: Theme.systemBackground
        radius: 12

        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: parent.radius
            color: parent.color
        }
    }
}
