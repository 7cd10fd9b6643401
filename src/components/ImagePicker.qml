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

    // The editing step shows from the moment the photo is being read: its spinner, then the photo.
    readonly property bool editing: pickerModel.isLoading || pickerModel.hasImage

    // Black under the editing step; until a photo is picked the sheet stays plain behind the dialog.
    color: editing ? "black" : Theme.systemBackground

    ImagePickerModel {
        id: pickerModel
        frameSize: frame.width
        onImagePicked: image => {
            root.selectedImage = image
            root.imagePicked(image)
        }
        // Once a photo is being read the dialog is done, also when the photo came some other way
        // than through it (the dialog is a window of its own and would outlast the picker), and the
        // step has the keyboard: Escape reaches it while the photo is read. Every photo is read.
        onLoadingChanged: {
            if (isLoading) {
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

    // The photo is drawn only between the two bars, so that once scaled up it never covers the
    // title or the buttons; the bars are opaque, the text on them white.
    Item {
        id: cropArea
        objectName: "cropArea"
        anchors { left: parent.left; right: parent.right; top: titleBar.bottom; bottom: controls.top }
        clip: true
        visible: pickerModel.hasImage

        // The picture the model has decoded (already upright), scaled for the screen on the loader
        // thread and never kept in Qt Quick's cache: the model holds it for as long as it is shown.
        Image {
            id: cropImage
            objectName: "cropImage"
            source: pickerModel.imageUrl
            asynchronous: true
            cache: false
            smooth: true
            x: frame.x - cropArea.x + pickerModel.displayRect.x
            y: frame.y - cropArea.y + pickerModel.displayRect.y
            width: pickerModel.displayRect.width
            height: pickerModel.displayRect.height
            sourceSize.width: 2048
            sourceSize.height: 2048
        }

        // Everything outside the frame is dimmed, as the platform's editing screen does.
        Rectangle {
            anchors { left: parent.left; right: parent.right; top: parent.top }
            height: frame.y - cropArea.y
            color: Qt.rgba(0, 0, 0, 0.6)
        }
        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: cropArea.y + cropArea.height - frame.y - frame.height
            color: Qt.rgba(0, 0, 0, 0.6)
        }
        Rectangle {
            x: 0
            y: frame.y - cropArea.y
            width: frame.x
            height: frame.height
            color: Qt.rgba(0, 0, 0, 0.6)
        }
        Rectangle {
            x: frame.x + frame.width
            y: frame.y - cropArea.y
            width: cropArea.width - x
            height: frame.height
            color: Qt.rgba(0, 0, 0, 0.6)
        }
    }

    ActivityIndicator {
        objectName: "cropSpinner"
        anchors.centerIn: cropArea
        width: 36
        height: 36
        color: "white"
        visible: pickerModel.isLoading || cropImage.status === Image.Loading
    }

    // The square frame; the photo is drawn relative to it.
    Item {
        id: frame
        objectName: "cropFrame"
        width: Math.floor(Math.min(cropArea.width, cropArea.height))
        height: width
        anchors.centerIn: cropArea
        visible: pickerModel.hasImage

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

    Rectangle {
        id: titleBar
        objectName: "cropTitleBar"
        anchors { left: parent.left; right: parent.right; top: parent.top }
        height: 56
        color: "black"
        visible: root.editing

        Text {
            objectName: "cropTitle"
            anchors.centerIn: parent
            text: qsTr("Перемещение и масштаб")
            color: "white"
            font.pixelSize: Theme.headline
            font.weight: Font.DemiBold
        }
    }

    Rectangle {
        id: controls
        objectName: "cropControls"
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 8 + slider.height + 4 + buttons.height
        color: "black"
        visible: root.editing

        Slider {
            id: slider
            objectName: "zoomSlider"
            anchors.top: parent.top
            anchors.topMargin: 8
            anchors.horizontalCenter: parent.horizontalCenter
            width: parent.width - 2 * 32
            // Nothing to scale while the photo is read.
            visible: pickerModel.hasImage
            from: 1
            to: pickerModel.maximumZoom
            value: pickerModel.zoom
            onMoved: pickerModel.zoom = value
            // The style draws the filled groove in its dark colour, lost on black.
            palette.dark: "white"
            palette.midlight: "#636366"
        }

        Item {
            id: buttons
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 64

            CropBarButton {
                objectName: "cropCancelButton"
                anchors.left: parent.left
                anchors.leftMargin: Theme.padding
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Отменить")
                onClicked: pickerModel.cancel()
            }
            CropBarButton {
                objectName: "cropChooseButton"
                anchors.right: parent.right
                anchors.rightMargin: Theme.padding
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Выбрать")
                font.weight: Font.DemiBold
                enabled: pickerModel.hasImage
                onClicked: pickerModel.confirm()
            }
        }
    }

    // White words on the black bar: the style's flat button would draw them in its dark window
    // text, and its pressed fill in light grey.
    component CropBarButton: Button {
        id: barButton
        flat: true
        font.pixelSize: Theme.body
        contentItem: Text {
            objectName: barButton.objectName + "Text"
            text: barButton.text
            font: barButton.font
            // «Выбрать» waits for the photo: grey until it is open.
            color: barButton.enabled ? "white" : Theme.gray
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
        }
        background: Rectangle {
            implicitWidth: 64
            implicitHeight: 40
            radius: 8
            color: barButton.down ? "#3A3A3C" : "transparent"
        }
    }
}
