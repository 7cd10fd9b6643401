import QtQuick
import QtQuick.Controls.impl
import Vorlane

// One of our symbol icons, square, recoloured on the CPU so that it also draws without a GPU.
IconImage {
    property string symbol
    property real size: 20

    sourceSize: Qt.size(size, size)
    source: Theme.icon(symbol)
    color: Theme.label
    fillMode: Image.PreserveAspectFit
}
