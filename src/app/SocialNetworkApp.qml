import QtQuick
import QtQuick.Controls
import Vorlane

// The application's one window. It owns the session model for the whole run; the model
// restores a stored session when it is made, before the first screen reads it.
ApplicationWindow {
    id: window

    readonly property AuthViewModel authViewModel: session
    readonly property alias mainTabView: mainTabView

    width: 390
    height: 844
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
