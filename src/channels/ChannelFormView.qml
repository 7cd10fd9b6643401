import QtQuick
import QtQuick.Controls
import Vorlane

// The arrangement the creation and the editing form share: the bar, the text fields and the two
// picture rows, each picture picked into a sheet of its own and handed to the form to upload.
Rectangle {
    id: root

    // A CreateChannelForm or an EditChannelForm.
    property var form
    property string title
    property string submitText
    property string fieldsHeader
    property string namePlaceholder
    property string categoryPlaceholder
    property string descriptionPlaceholder
    property string picturesHeader

    signal closeRequested()

    color: Theme.groupedBackground

    Connections {
        target: root.form
        function onCloseRequested() { root.closeRequested() }
    }

    ChannelSheetBar {
        id: bar
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: root.title
        actionText: root.submitText
        actionEnabled: root.form.canSubmit
        onCancelClicked: root.closeRequested()
        onActionClicked: root.form.submit()
    }

    Flickable {
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: parent.bottom }
        contentHeight: content.height + 2 * 24
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Column {
            id: content
            y: 24
            width: parent.width
            spacing: 28

            ChannelFormSection {
                header: root.fieldsHeader
                ChannelFormField {
                    objectName: "nameField"
                    placeholderText: root.namePlaceholder
                    text: root.form.name
                    onTextEdited: root.form.name = text
                }
                ChannelFormField {
                    objectName: "categoryField"
                    placeholderText: root.categoryPlaceholder
                    text: root.form.category
                    onTextEdited: root.form.category = text
                }
                ChannelFormField {
                    objectName: "descriptionField"
                    separated: false
                    placeholderText: root.descriptionPlaceholder
                    text: root.form.description
                    onTextEdited: root.form.description = text
                }
            }

            ChannelFormSection {
                header: root.picturesHeader
                ChannelPhotoRow {
                    objectName: "avatar"
                    separated: true
                    symbol: "photo.on.rectangle"
                    label: root.form.avatarLabel
                    busy: root.form.isUploadingAvatar
                    onClicked: avatarPicker.open()
                }
                ChannelPhotoRow {
                    objectName: "cover"
                    symbol: "photo.fill"
                    label: root.form.coverLabel
                    busy: root.form.isUploadingCover
                    onClicked: coverPicker.open()
                }
            }
        }
    }

    Sheet {
        id: avatarPicker
        objectName: "avatarPicker"
        content: Component {
            ImagePicker {
                objectName: "imagePicker"
                onImagePicked: image => root.form.uploadAvatar(image)
                onDismissRequested: avatarPicker.close()
            }
        }
    }

    Sheet {
        id: coverPicker
        objectName: "coverPicker"
        content: Component {
            ImagePicker {
                objectName: "imagePicker"
                onImagePicked: image => root.form.uploadCover(image)
                onDismissRequested: coverPicker.close()
            }
        }
    }
}
