import QtQuick
import Vorlane

// The application's one window. It owns the session model for the whole run; the model
// restores a stored session when it is made, before the first screen reads it. A plain window,
// not the controls' application window: the sign-in screen's first frame needs no control
// library, and the popups of the tab screens find their overlay in any Qt Quick window.
Window {
    id: window

    readonly property AuthViewModel authViewModel: session
    readonly property alias mainTabView: mainTabView

    width: 390
    height: 844
    // Below this the screens' headers have no room beside their buttons.
    minimumWidth: 360
    minimumHeight: 640
    visible: true
    title: qsTr("Vorlane")
    color: Theme.systemBackground

    AuthViewModel {
        id: session
    }

    MainTabView {
        id: mainTabView
        objectName: "mainTabView"
        anchors.fill: parent
        authViewModel: session
    }
}
