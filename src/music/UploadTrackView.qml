import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The track upload sheet, made afresh at each opening. The audio file and the cover are uploaded
// as soon as they are picked; "Сохранить" closes the sheet only once the service has the track.
Rectangle {
    id: root

    required property MusicViewModel viewModel
    readonly property alias form: trackForm

    signal dismissRequested()

    color: Theme.groupedBackground

    UploadTrackForm {
        id: trackForm
        viewModel: root.viewModel
        onSaved: root.dismissRequested()
    }

    FormSheetBar {
        id: bar
        width: parent.width
        title: qsTr("Загрузить трек")
        leadingText: qsTr("Отмена")
        trailingText: qsTr("Сохранить")
        trailingBold: true
        trailingEnabled: trackForm.canSave
        onLeadingClicked: root.dismissRequested()
        onTrailingClicked: trackForm.save()
    }

    Flickable {
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: parent.bottom }
        contentHeight: sections.height + 40
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: sections
            y: 24
            width: parent.width
            spacing: 28

            FormSection {
                header: qsTr("Информация о треке")

                Repeater {
                    model: [
                        { name: "trackTitleField", placeholder: qsTr("Название трека"), field: "title" },
                        { name: "trackArtistField", placeholder: qsTr("Исполнитель / Автор"), field: "artist" },
                        { name: "trackAlbumField", placeholder: qsTr("Альбом (необязательно)"), field: "album" }
                    ]
                    delegate: Column {
                        required property int index
                        required property var modelData
                        width: parent.width
                        TextField {
                            objectName: modelData.name
                            width: parent.width
                            height: 44
                            leftPadding: Theme.padding
                            rightPadding: Theme.padding
                            placeholderText: modelData.placeholder
                            placeholderTextColor: Theme.gray2
                            font.pixelSize: Theme.body
                            background: null
                            text: trackForm[modelData.field]
                            onTextEdited: trackForm[modelData.field] = text
                        }
                        Rectangle {
                            visible: index < 2
                            x: Theme.padding
                            width: parent.width - x
                            height: 1
                            color: Theme.separator
                        }
                    }
                }
            }

            FormSection {
                header: qsTr("Файл музыки (выбор с телефона)")
                PickRow {
                    buttonName: "audioPickButton"
                    progressName: "audioProgress"
                    symbol: "music.note"
                    label: trackForm.audioButtonText
                    busy: trackForm.isUploadingAudio
                    onPicked: audioPickerSheet.open()
                }
            }

            FormSection {
                header: qsTr("Обложка трека (с телефона)")
                PickRow {
                    buttonName: "coverPickButton"
                    progressName: "coverProgress"
                    symbol: "photo.on.rectangle"
                    label: trackForm.coverButtonText
                    busy: trackForm.isUploadingCover
                    onPicked: coverPickerSheet.open()
                }
            }
        }
    }

    // A button with its symbol and label and, while an upload of its kind runs, a spinner.
    component PickRow: Item {
        id: pickRow
        property string buttonName
        property string progressName
        property string symbol
        property string label
        property bool busy
        signal picked()

        width: parent ? parent.width : 0
        height: 48
        AbstractButton {
            id: pickButton
            objectName: pickRow.buttonName
            anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            height: 44
            text: pickRow.label
            onClicked: pickRow.picked()
            contentItem: Row {
                spacing: 8
                IconImage {
                    anchors.verticalCenter: parent.verticalCenter
                    source: Theme.icon(pickRow.symbol)
                    sourceSize: Qt.size(20, 20)
                    color: Theme.blue
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: pickButton.text
                    font.pixelSize: 14
                    font.bold: true
                    color: Theme.blue
                }
            }
        }
        ActivityIndicator {
            objectName: pickRow.progressName
            anchors { left: pickButton.right; leftMargin: 10; verticalCenter: parent.verticalCenter }
            visible: pickRow.busy
        }
    }

    Sheet {
        id: audioPickerSheet
        objectName: "audioPickerSheet"
        content: DocumentPicker {
            objectName: "audioPicker"
            onFilePicked: fileUrl => trackForm.uploadAudio(fileUrl)
            onDismissRequested: audioPickerSheet.close()
        }
    }

    Sheet {
        id: coverPickerSheet
        objectName: "coverPickerSheet"
        content: ImagePicker {
            objectName: "coverPicker"
            onImagePicked: image => trackForm.uploadCover(image)
            onDismissRequested: coverPickerSheet.close()
        }
    }
}
