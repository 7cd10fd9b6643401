import QtQuick
import QtQuick.Controls.impl
import QtQuick.Layouts
import Vorlane

// The sign-in screen's error: a warning icon and the message on a pale red ground, as wide as
// its content. The screen loads it by address the first time a message shows, so that what it
// imports is not read before the screen's first frame.
Rectangle {
    id: banner

    property string message: ""
    // The widest the message may grow before it wraps.
    property real maximumTextWidth: 0

    implicitWidth: bannerRow.implicitWidth + 2 * Theme.padding
    implicitHeight: bannerRow.implicitHeight + 2 * Theme.padding
    radius: 10
    color: Qt.rgba(1, 59 / 255, 48 / 255, 0.1)

    RowLayout {
        id: bannerRow
        anchors.fill: parent
        anchors.margins: Theme.padding
        spacing: Theme.spacing

        IconImage {
            objectName: "errorIcon"
            Layout.alignment: Qt.AlignVCenter
            source: Theme.icon("exclamationmark.triangle.fill")
            sourceSize: Qt.size(16, 16)
            color: Theme.red
        }
        Text {
            objectName: "errorText"
            Layout.fillWidth: true
            Layout.maximumWidth: banner.maximumTextWidth
            visible: text !== ""
            text: banner.message
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: Theme.footnote
            font.weight: Font.DemiBold
            color: Theme.red
        }
    }
}
