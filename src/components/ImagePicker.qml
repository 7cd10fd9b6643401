import QtQuick
import QtQuick.Controls
import Vorlane

// Picks one photo: the file dialog first, then the editing step where the photo is moved and
// scaled under a square frame. Shown as the content of a sheet; it asks to be closed when done.
Rectangle {
    id: root

    // Receives the chosen picture (a QImage), written before imagePicked is sent.
    property var selectedImage: null
    readonly property alias model: pickerModel

    signal imagePicked(var image)
    signal dismissRequested()

    // Black under the editing step; until a photo is open the sheet stays plain behind the dialog.
    color: pickerModel.hasImage ? "black" : Theme.systemBackground

    ImagePickerModel {
        id: pickerModel
        frameSize: frame.width
        onImagePicked: image => {
            root.selectedImage = image
            root.imagePicked(image)
        }
        // Once a photo is open the dialog is done, also when the photo came some other way than
        // through it: the dialog is a window of its own and would outlast the picker.
        onImageChanged: {
            if (hasImage) {
                dialog.dismiss()
                root.forceActiveFocus()
            }
        }
        onFinished: {
            dialog.dismiss()
            dialog.whenHandedBack(() => root.dismissRequested())
        }
    }

    // The editing step has the keyboard once the photo is open: Enter chooses, Escape cancels.
    Keys.onReturnPressed: pickerModel.confirm()
    Keys.onEnterPressed: pickerModel.confirm()
    Keys.onEscapePressed: pickerModel.cancel()

    FileDialogWindow {
        id: dialog
        objectName: "imageFileDialog"
        title: qsTr("Выберите фото")
        nameFilters: pickerModel.nameFilters
        onAccepted: pickerModel.openImage(selectedFile)
        onRejected: pickerModel.cancel()
    }

    Component.onCompleted: dialog.open()

    Text {
        anchors.top: parent.top
        anchors.topMargin: 20
        anchors.horizontalCenter: parent.horizontalCenter
        visible: pickerModel.hasImage
        text: qsTr("Перемещение и масштаб")
        color: "white"
        font.pixelSize: Theme.headline
        font.weight: Font.DemiBold
    }

    // The square frame; the photo is drawn relative to it and dimmed where it lies outside.
    Item {
        id: frame
        objectName: "cropFrame"
        width: parent.width
        height: width
        anchors.centerIn: parent
        visible: pickerModel.hasImage

        Image {
            objectName: "cropImage"
            source: pickerModel.imageUrl
            autoTransform: true
            asynchronous: true
            smooth: true
            x: pickerModel.displayRect.x
            y: pickerModel.displayRect.y
            width: pickerModel.displayRect.width
            height: pickerModel.displayRect.height
            sourceSize.width: 2048
            sourceSize.height: 2048
        }

        Rectangle {
            anchors.fill: parent
            color: "transparent"
            border.color: Qt.rgba(1, 1, 1, 0.8)
            border.width: 1
        }

        DragHandler {
            target: null
            property point last: Qt.point(0, 0)
            onActiveChanged: last = Qt.point(0, 0)
            onTranslationChanged: {
                pickerModel.pan(translation.x - last.x, translation.y - last.y)
                last = Qt.point(translation.x, translation.y)
            }
        }
        PinchHandler {
            target: null
            property real last: 1
            onActiveChanged: last = 1
            onActiveScaleChanged: {
                pickerModel.zoomBy(activeScale / last)
                last = activeScale
            }
        }
        WheelHandler {
            target: null
            onWheel: event => pickerModel.zoomBy(event.angleDelta.y > 0 ? 1.1 : 1 / 1.1)
        }
    }

    // Everything outside the frame is dimmed, as the platform's editing screen does.
    Rectangle {
        anchors { left: parent.left; right: parent.right; top: parent.top; bottom: frame.top }
        color: Qt.rgba(0, 0, 0, 0.6)
        visible: pickerModel.hasImage
    }
    Rectangle {
        anchors { left: parent.left; right: parent.right; top: frame.bottom; bottom: parent.bottom }
        color: Qt.rgba(0, 0, 0, 0.6)
        visible: pickerModel.hasImage
    }

    Slider {
        objectName: "zoomSlider"
        anchors.bottom: buttons.top
        anchors.bottomMargin: 12
        anchors.horizontalCenter: parent.horizontalCenter
        width: parent.width - 2 * 32
        visible: pickerModel.hasImage
        from: 1
        to: pickerModel.maximumZoom
        value: pickerModel.zoom
        onMoved: pickerModel.zoom = value
    }

    Item {
        id: buttons
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 64
        visible: pickerModel.hasImage

        Button {
            objectName: "cropCancelButton"
            anchors.left: parent.left
            anchors.leftMargin: Theme.padding
            anchors.verticalCenter: parent.verticalCenter
            flat: true
            text: qsTr("Отменить")
            font.pixelSize: Theme.body
            palette.buttonText: "white"
            onClicked: pickerModel.cancel()
        }
        Button {
            objectName: "cropChooseButton"
            anchors.right: parent.right
            anchors.rightMargin: Theme.padding
            anchors.verticalCenter: parent.verticalCenter
            flat: true
            text: qsTr("Выбрать")
            font.pixelSize: Theme.body
            font.weight: Font.DemiBold
            palette.buttonText: "white"
            onClicked: pickerModel.confirm()
        }
    }
}
