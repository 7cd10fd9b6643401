import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorlane

// A field of the sign-in form: default padding on a rounded grey background.
TextField {
    Layout.fillWidth: true
    padding: Theme.padding
    font.pixelSize: Theme.body
    color: Theme.label
    placeholderTextColor: Qt.rgba(60 / 255, 60 / 255, 67 / 255, 0.3)
    selectByMouse: true
    background: Rectangle {
        radius: 12
        color: Theme.secondarySystemBackground
    }
}
