import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The create-playlist sheet. It owns nothing: the values live in the screen's draft, so they
// outlive the sheet; the screen presents the photo picker for the cover.
Rectangle {
    id: root

    required property PlaylistDraft draft
    required property MusicViewModel viewModel

    signal dismissRequested()
    signal coverPickRequested()

    color: Theme.groupedBackground

    FormSheetBar {
        id: bar
        width: parent.width
        title: qsTr("Новый плейлист")
        leadingText: qsTr("Отмена")
        trailingText: qsTr("Создать")
        trailingBold: true
        trailingEnabled: root.draft.canCreate
        onLeadingClicked: root.dismissRequested()
        onTrailingClicked: {
            root.draft.create(root.viewModel)
            root.dismissRequested()
        }
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
                header: qsTr("Параметры плейлиста")

                TextField {
                    objectName: "playlistNameField"
                    width: parent.width
                    height: 44
                    leftPadding: Theme.padding
                    rightPadding: Theme.padding
                    placeholderText: qsTr("Название плейлиста")
                    placeholderTextColor: Theme.gray2
                    font.pixelSize: Theme.body
                    background: null
                    text: root.draft.name
                    onTextEdited: root.draft.name = text
                }
                Rectangle { x: Theme.padding; width: parent.width - x; height: 1; color: Theme.separator }
                TextField {
                    objectName: "playlistDescriptionField"
                    width: parent.width
                    height: 44
                    leftPadding: Theme.padding
                    rightPadding: Theme.padding
                    placeholderText: qsTr("Описание")
                    placeholderTextColor: Theme.gray2
                    font.pixelSize: Theme.body
                    background: null
                    text: root.draft.description
                    onTextEdited: root.draft.description = text
                }
                Rectangle { x: Theme.padding; width: parent.width - x; height: 1; color: Theme.separator }
                Item {
                    width: parent.width
                    height: 48
                    Text {
                        anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
                        anchors { right: publicSwitch.left; rightMargin: 8 }
                        fontSizeMode: Text.HorizontalFit
                        minimumPixelSize: 14
                        elide: Text.ElideRight
                        text: qsTr("Публичный доступ (по ссылке)")
                        font.pixelSize: Theme.body
                        color: Theme.label
                    }
                    Switch {
                        id: publicSwitch
                        objectName: "playlistPublicSwitch"
                        anchors { right: parent.right; rightMargin: Theme.padding; verticalCenter: parent.verticalCenter }
                        width: 51
                        height: 31
                        padding: 0
                        spacing: 0
                        checked: root.draft.isPublic
                        onToggled: root.draft.isPublic = checked
                        contentItem: null
                        indicator: Rectangle {
                            x: publicSwitch.leftPadding
                            y: (publicSwitch.height - height) / 2
                            implicitWidth: 51
                            implicitHeight: 31
                            radius: 15.5
                            color: publicSwitch.checked ? Theme.green : Qt.rgba(120 / 255, 120 / 255, 128 / 255, 0.16)
                            Rectangle {
                                x: publicSwitch.checked ? parent.width - width - 2 : 2
                                y: 2
                                width: 27
                                height: 27
                                radius: 13.5
                                color: "white"
                                border.color: Qt.rgba(0, 0, 0, 0.06)
                            }
                        }
                    }
                }
            }

            FormSection {
                header: qsTr("Обложка плейлиста (с телефона)")

                Item {
                    width: parent.width
                    height: 48
                    AbstractButton {
                        id: coverButton
                        objectName: "playlistCoverButton"
                        anchors { left: parent.left; leftMargin: Theme.padding; verticalCenter: parent.verticalCenter }
                        height: 44
                        // Stays enabled while an upload runs: a new pick starts another.
                        text: root.draft.coverButtonText
                        onClicked: root.coverPickRequested()
                        contentItem: Row {
                            spacing: 8
                            IconImage {
                                anchors.verticalCenter: parent.verticalCenter
                                source: Theme.icon("photo")
                                sourceSize: Qt.size(20, 20)
                                color: Theme.blue
                            }
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: coverButton.text
                                font.pixelSize: 14
                                font.bold: true
                                color: Theme.blue
                            }
                        }
                    }
                    ActivityIndicator {
                        objectName: "playlistCoverProgress"
                        anchors { left: coverButton.right; leftMargin: 10; verticalCenter: parent.verticalCenter }
                        visible: root.draft.isUploadingCover
                    }
                }
            }
        }
    }
}
