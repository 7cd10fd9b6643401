import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The own profile's editor, shown as the content of a sheet with a bar of its own. It works on
// the profile screen's model, so a save shows on that screen at once. Asks to be closed by
// dismissRequested; `updated` carries the saved user.
Rectangle {
    id: root

    required property ProfileViewModel viewModel
    readonly property alias form: editForm

    signal updated(var user)
    signal dismissRequested()

    color: Theme.groupedBackground

    EditProfileModel {
        id: editForm
        viewModel: root.viewModel
        onSaved: user => {
            root.updated(user)
            root.dismissRequested()
        }
    }

    Sheet {
        id: avatarPicker
        content: ImagePicker {
            onImagePicked: image => editForm.uploadAvatar(image)
            onDismissRequested: avatarPicker.close()
        }
    }
    Sheet {
        id: coverPicker
        content: ImagePicker {
            onImagePicked: image => editForm.uploadCover(image)
            onDismissRequested: coverPicker.close()
        }
    }

    Rectangle {
        id: bar
        anchors { left: parent.left; right: parent.right; top: parent.top }
        height: 56
        color: root.color
        z: 1

        AbstractButton {
            id: cancelButton
            objectName: "editCancelButton"
            anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            height: parent.height
            onClicked: root.dismissRequested()
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: qsTr("Отмена")
                font.pixelSize: Theme.body
                color: Theme.blue
            }
        }
        // Between the two buttons, shrunk rather than cut where they leave too little room.
        Text {
            objectName: "editTitle"
            anchors { left: cancelButton.right; right: saveButton.left; margins: Theme.spacing }
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignHCenter
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 12
            elide: Text.ElideRight
            text: qsTr("Редактировать профиль")
            font.pixelSize: Theme.headline
            font.weight: Font.DemiBold
            color: Theme.label
        }
        AbstractButton {
            id: saveButton
            objectName: "editSaveButton"
            anchors { right: parent.right; rightMargin: Theme.padding; verticalCenter: parent.verticalCenter }
            height: parent.height
            // Never disabled: every press saves; the sheet takes no press once it closes.
            onClicked: editForm.save()
            contentItem: Text {
                verticalAlignment: Text.AlignVCenter
                text: qsTr("Сохранить")
                font.pixelSize: 16
                font.bold: true
                color: Theme.blue
            }
        }
        Rectangle {
            anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
            height: 0.5
            color: Theme.separator
        }
    }

    Flickable {
        anchors { left: parent.left; right: parent.right; top: bar.bottom; bottom: parent.bottom }
        contentHeight: sections.height + 2 * 24
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: sections
            x: 20
            y: 24
            width: parent.width - 40
            spacing: 24

            FormSection {
                header: qsTr("Аватарка и Обложка (с телефона)")
                PickRow {
                    objectName: "avatarPickButton"
                    symbol: "photo.on.rectangle"
                    text: editForm.avatarLabel
                    uploading: editForm.isUploadingAvatar
                    onClicked: avatarPicker.open()
                }
                RowSeparator {}
                PickRow {
                    objectName: "coverPickButton"
                    symbol: "photo.fill"
                    text: editForm.coverLabel
                    uploading: editForm.isUploadingCover
                    onClicked: coverPicker.open()
                }
            }

            FormSection {
                header: qsTr("Статус и Описание профиля")
                FormField {
                    objectName: "statusField"
                    placeholderText: qsTr("Текстовый статус")
                    text: editForm.statusText
                    onTextEdited: editForm.statusText = text
                }
                RowSeparator {}
                FormField {
                    objectName: "bioField"
                    placeholderText: qsTr("О себе (био)")
                    text: editForm.bio
                    onTextEdited: editForm.bio = text
                }
            }
        }
    }

    // A grouped form section: an upper-case grey header over a rounded white card of rows.
    component FormSection: Column {
        property string header
        default property alias rows: card.data
        width: parent.width
        spacing: 6
        Text {
            x: Theme.padding
            text: parent.header
            font.pixelSize: Theme.footnote
            font.capitalization: Font.AllUppercase
            color: Theme.secondaryLabel
        }
        Rectangle {
            width: parent.width
            height: card.height
            radius: 10
            color: Theme.secondaryGroupedBackground
            Column {
                id: card
                width: parent.width
            }
        }
    }

    component RowSeparator: Rectangle {
        x: Theme.padding
        width: parent.width - Theme.padding
        height: 1
        color: Theme.separator
    }

    component PickRow: AbstractButton {
        id: pickRow
        property string symbol
        property bool uploading
        width: parent.width
        height: 44
        leftPadding: Theme.padding
        rightPadding: Theme.padding
        contentItem: Item {
            Row {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 8
                IconImage {
                    anchors.verticalCenter: parent.verticalCenter
                    source: Theme.icon(pickRow.symbol)
                    sourceSize: Qt.size(20, 20)
                    color: Theme.blue
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: pickRow.text
                    font.pixelSize: 14
                    font.bold: true
                    color: Theme.blue
                }
            }
            ActivityIndicator {
                objectName: pickRow.objectName + "Progress"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                visible: pickRow.uploading
            }
        }
        background: Rectangle {
            color: pickRow.pressed ? Theme.gray5 : "transparent"
            radius: 10
        }
    }

    component FormField: TextField {
        width: parent.width
        height: 44
        leftPadding: Theme.padding
        rightPadding: Theme.padding
        font.pixelSize: Theme.body
        color: Theme.label
        placeholderTextColor: Qt.rgba(60 / 255, 60 / 255, 67 / 255, 0.3)
        selectByMouse: true
        background: Item {}
        // A long seeded text shows from its start, as an unfocused field does.
        Component.onCompleted: cursorPosition = 0
    }
}
