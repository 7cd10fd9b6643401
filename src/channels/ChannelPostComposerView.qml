import QtQuick
import QtQuick.Controls
import Vorlane

// The composer "Пост в канал". It edits the page's draft, which outlives the sheet: closing it
// keeps the text and the photo for the next opening. The caller closes its sheet on closeRequested.
Rectangle {
    id: root

    property ChannelPostDraft draft

    signal closeRequested()

    color: Theme.groupedBackground

    Connections {
        target: root.draft
        function onPublished() { root.closeRequested() }
    }

    ChannelSheetBar {
        id: bar
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("Пост в канал")
        actionText: qsTr("Опубликовать")
        actionEnabled: root.draft.canPublish
        onCancelClicked: root.closeRequested()
        onActionClicked: root.draft.publish()
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
                header: qsTr("Текст публикации")
                ScrollView {
                    width: parent.width
                    height: 120
                    TextArea {
                        objectName: "postTextEditor"
                        wrapMode: TextEdit.Wrap
                        leftPadding: Theme.padding
                        rightPadding: Theme.padding
                        topPadding: 10
                        bottomPadding: 10
                        font.pixelSize: Theme.body
                        color: Theme.label
                        selectByMouse: true
                        background: null
                        text: root.draft.text
                        onTextChanged: root.draft.text = text
                    }
                }
            }

            ChannelFormSection {
                header: qsTr("Фото к посту (с телефона)")
                ChannelPhotoRow {
                    objectName: "composerPhoto"
                    symbol: "photo"
                    label: root.draft.photoLabel
                    busy: root.draft.isUploadingImage
                    onClicked: photoPicker.open()
                }
            }
        }
    }

    Sheet {
        id: photoPicker
        objectName: "postPhotoPicker"
        content: Component {
            ImagePicker {
                objectName: "imagePicker"
                onImagePicked: image => root.draft.uploadImage(image)
                onDismissRequested: photoPicker.close()
            }
        }
    }
}
