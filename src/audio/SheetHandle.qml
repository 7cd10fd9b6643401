import QtQuick
import QtQuick.Layouts
import Vorlane

// The grey bar at the top of a sheet. Drawn only: the sheet itself is what the user drags.
Rectangle {
    Layout.alignment: Qt.AlignHCenter
    Layout.topMargin: 12
    implicitWidth: 40
    implicitHeight: 5
    radius: 2.5
    color: Qt.rgba(Theme.gray.r, Theme.gray.g, Theme.gray.b, 0.4)
}
