import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import QtQuick.Layouts
import Vorlane

// The post composer, shown in a sheet: text, one photo uploaded as soon as it is picked, and
// "Опубликовать", which hands the post to the feed model and closes at once.
Rectangle {
    id: root

    required property FeedViewModel feedViewModel
    required property var currentUser
    readonly property alias composer: composer

    signal dismissRequested()

    color: Theme.systemBackground

    PostComposerModel {
        id: composer
    }

    Sheet {
        id: pickerSheet
        objectName: "photoPickerSheet"
        content: ImagePicker {
            objectName: "composerImagePicker"
            onImagePicked: image => composer.uploadImage(image)
            onDismissRequested: pickerSheet.close()
        }
    }

    Item {
        id: bar
        anchors { left: parent.left; right: parent.right; top: parent.top }
        height: 44

        AbstractButton {
            id: cancelButton
            objectName: "cancelButton"
            anchors { left: parent.left; leftMargin: Theme.padding; top: parent.top; bottom: parent.bottom }
            onClicked: root.dismissRequested()
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: qsTr("Отмена")
                font.pixelSize: Theme.body
                color: Theme.blue
            }
        }
        // Centred between the two buttons, so that a wide font never runs into them.
        Text {
            anchors { left: cancelButton.right; right: publishButton.left; verticalCenter: parent.verticalCenter }
            anchors.leftMargin: 4
            anchors.rightMargin: 4
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
            text: qsTr("Создать запись")
            font.pixelSize: Theme.callout
            font.weight: Font.DemiBold
            color: Theme.label
        }
        AbstractButton {
            id: publishButton
            objectName: "publishButton"
            anchors { right: parent.right; rightMargin: Theme.padding; top: parent.top; bottom: parent.bottom }
            enabled: composer.canPublish
            onClicked: {
                composer.publish(root.feedViewModel, root.currentUser)
                root.dismissRequested()
            }
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: qsTr("Опубликовать")
                font.pixelSize: 16
                font.bold: true
                color: publishButton.enabled ? Theme.blue : Theme.gray2
            }
        }
        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 0.5
            color: Theme.separator
        }
    }

    ColumnLayout {
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: bottomBar.top }
        anchors.margins: Theme.padding
        spacing: 16

        Row {
            spacing: 12
            AvatarView {
                size: 44
                urlString: AvatarRules.avatarUrlOf(root.currentUser)
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 2
                Text {
                    objectName: "composerAuthorName"
                    textFormat: Text.PlainText
                    text: root.currentUser ? root.currentUser.fullName : ""
                    font.pixelSize: 16
                    font.bold: true
                    color: Theme.label
                }
                Text {
                    text: qsTr("Видно всем подписчикам")
                    font.pixelSize: Theme.caption
                    color: Theme.secondaryLabel
                }
            }
        }

        ScrollView {
            Layout.fillWidth: true
            Layout.fillHeight: true
            TextArea {
                objectName: "postTextEditor"
                wrapMode: TextEdit.Wrap
                font.pixelSize: 16
                padding: 0
                background: null
                textFormat: TextEdit.PlainText
                text: composer.textInput
                onTextChanged: composer.textInput = text
            }
        }

        Text {
            objectName: "photoAttachedLabel"
            Layout.fillWidth: true
            visible: composer.hasPhoto
            wrapMode: Text.Wrap
            text: qsTr("Фотография успешно прикреплена к посту ✓")
            font.pixelSize: Theme.caption
            color: Theme.blue
        }
    }

    Rectangle {
        id: bottomBar
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 56
        color: Theme.secondaryGroupedBackground
        Rectangle {
            anchors { left: parent.left; right: parent.right; top: parent.top }
            height: 0.5
            color: Theme.separator
        }

        AbstractButton {
            id: pickButton
            objectName: "pickPhotoButton"
            x: Theme.padding
            anchors.verticalCenter: parent.verticalCenter
            onClicked: pickerSheet.open()
            contentItem: Row {
                spacing: 8
                IconImage {
                    anchors.verticalCenter: parent.verticalCenter
                    source: Theme.icon("photo.on.rectangle")
                    sourceSize: Qt.size(22, 22)
                    color: Theme.blue
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: qsTr("Выбрать фото с телефона")
                    font.pixelSize: 13
                    font.weight: Font.DemiBold
                    color: Theme.blue
                }
            }
        }
        ActivityIndicator {
            objectName: "uploadIndicator"
            anchors.left: pickButton.right
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            visible: composer.isUploadingImage
        }
    }
}
