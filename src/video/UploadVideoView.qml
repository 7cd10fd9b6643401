import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The form that publishes a video: the file and the preview are uploaded as soon as they are
// picked, and "Загрузить" registers the video with the catalogue's model. Made afresh at each
// opening of its sheet; the caller closes the sheet on closeRequested.
Rectangle {
    id: root

    required property VideoViewModel viewModel
    readonly property alias form: form

    signal closeRequested()

    color: Theme.groupedBackground

    UploadVideoForm {
        id: form
        viewModel: root.viewModel
        onCloseRequested: root.closeRequested()
    }

    Rectangle {
        id: bar
        objectName: "navigationBar"
        anchors { left: parent.left; right: parent.right; top: parent.top }
        height: 56
        color: Theme.groupedBackground

        AbstractButton {
            id: cancelButton
            objectName: "cancelButton"
            anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            height: 44
            text: qsTr("Отмена")
            onClicked: root.closeRequested()
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: cancelButton.text
                font.pixelSize: Theme.body
                color: Theme.blue
                opacity: cancelButton.pressed ? 0.4 : 1
            }
        }

        // Centred between the two buttons, which leaves it more room than the bar's middle.
        Text {
            objectName: "navigationTitle"
            readonly property real room: submitButton.x - (cancelButton.x + cancelButton.width) - 2 * Theme.spacing
            x: cancelButton.x + cancelButton.width + Theme.spacing + (room - width) / 2
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, room)
            elide: Text.ElideRight
            text: qsTr("Загрузить видео")
            font.pixelSize: Theme.headline
            font.weight: Font.DemiBold
            color: Theme.label
        }

        AbstractButton {
            id: submitButton
            objectName: "submitButton"
            anchors { right: parent.right; rightMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            height: 44
            text: qsTr("Загрузить")
            enabled: form.canSubmit
            onClicked: form.submit()
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: submitButton.text
                font.pixelSize: 16
                font.bold: true
                color: submitButton.enabled ? Theme.blue : Theme.gray2
                opacity: submitButton.pressed ? 0.4 : 1
            }
        }
    }

    Flickable {
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: parent.bottom }
        contentHeight: sections.implicitHeight + 40
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: sections
            width: parent.width
            topPadding: 16
            spacing: 28

            FormSectionCard {
                width: parent.width
                header: qsTr("Информация о видео")

                TextField {
                    objectName: "titleField"
                    width: parent.width
                    height: 44
                    leftPadding: Theme.padding
                    rightPadding: Theme.padding
                    background: null
                    placeholderText: qsTr("Название видео")
                    placeholderTextColor: Theme.gray2
                    font.pixelSize: Theme.body
                    color: Theme.label
                    text: form.title
                    onTextEdited: form.title = text
                }
                Rectangle {
                    x: Theme.padding
                    width: parent.width - Theme.padding
                    height: 0.5
                    color: Theme.separator
                }
                TextField {
                    objectName: "descriptionField"
                    width: parent.width
                    height: 44
                    leftPadding: Theme.padding
                    rightPadding: Theme.padding
                    background: null
                    placeholderText: qsTr("Описание видео")
                    placeholderTextColor: Theme.gray2
                    font.pixelSize: Theme.body
                    color: Theme.label
                    text: form.description
                    onTextEdited: form.description = text
                }
            }

            FormSectionCard {
                width: parent.width
                header: qsTr("Видеофайл (выбор с телефона)")

                UploadButtonRow {
                    objectName: "videoRow"
                    width: parent.width
                    buttonName: "videoButton"
                    symbol: "video.fill"
                    label: form.videoButtonText
                    busy: form.isUploadingVideo
                    onClicked: videoPickerSheet.open()
                }
                Text {
                    objectName: "fileLine"
                    visible: form.fileLine !== ""
                    width: parent.width
                    leftPadding: Theme.padding
                    rightPadding: Theme.padding
                    bottomPadding: 10
                    textFormat: Text.PlainText
                    text: form.fileLine
                    elide: Text.ElideRight
                    maximumLineCount: 1
                    font.pixelSize: Theme.caption
                    color: Theme.secondaryLabel
                }
            }

            FormSectionCard {
                width: parent.width
                header: qsTr("Превью / Обложка видео (с телефона)")

                UploadButtonRow {
                    objectName: "thumbnailRow"
                    width: parent.width
                    buttonName: "thumbnailButton"
                    symbol: "photo.on.rectangle"
                    label: form.thumbnailButtonText
                    busy: form.isUploadingThumbnail
                    onClicked: thumbnailPickerSheet.open()
                }
            }
        }
    }

    component UploadButtonRow: Item {
        id: row

        property string buttonName
        property string symbol
        property string label
        property bool busy

        signal clicked()

        height: 48

        Row {
            anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            spacing: Theme.spacing

            AbstractButton {
                id: button
                objectName: row.buttonName
                anchors.verticalCenter: parent.verticalCenter
                height: 44
                text: row.label
                onClicked: row.clicked()
                contentItem: Row {
                    spacing: 6
                    opacity: button.pressed ? 0.4 : 1
                    IconImage {
                        anchors.verticalCenter: parent.verticalCenter
                        source: Theme.icon(row.symbol)
                        sourceSize: Qt.size(20, 20)
                        color: Theme.blue
                    }
                    Text {
                        objectName: row.buttonName + "Label"
                        anchors.verticalCenter: parent.verticalCenter
                        textFormat: Text.PlainText
                        text: row.label
                        font.pixelSize: 14
                        font.bold: true
                        color: Theme.blue
                    }
                }
            }
            ActivityIndicator {
                objectName: row.buttonName + "Spinner"
                anchors.verticalCenter: parent.verticalCenter
                visible: row.busy
            }
        }
    }

    Sheet {
        id: videoPickerSheet
        content: Component {
            DocumentPicker {
                objectName: "videoPicker"
                allowedContentTypes: form.videoContentTypes
                onFilePicked: fileUrl => form.uploadVideoFile(fileUrl)
                onDismissRequested: videoPickerSheet.close()
            }
        }
    }

    Sheet {
        id: thumbnailPickerSheet
        content: Component {
            ImagePicker {
                objectName: "thumbnailPicker"
                onImagePicked: image => form.uploadThumbnail(image)
                onDismissRequested: thumbnailPickerSheet.close()
            }
        }
    }
}
