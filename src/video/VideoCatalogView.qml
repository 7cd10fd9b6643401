import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The video tab: a search field fixed over the catalogue's cards, and the upload form as a sheet
// that registers new videos into this screen's own model.
Item {
    id: root

    // The tab screen hands down the model it made at launch; a screen made alone makes its own.
    property VideoViewModel viewModel: ownModel.createObject(root)
    readonly property alias filteredVideos: filtered
    property string searchText: ""

    Component {
        id: ownModel
        VideoViewModel {}
    }

    FilteredVideosModel {
        id: filtered
        viewModel: root.viewModel
        searchText: root.searchText
    }

    NavigationStack {
        anchors.fill: parent
        initialItem: Rectangle {
            readonly property string title: qsTr("Видеокаталог")
            color: Theme.systemBackground

            Rectangle {
                id: searchBar
                objectName: "searchBar"
                x: Theme.padding
                y: 8
                width: parent.width - 2 * Theme.padding
                height: searchField.implicitHeight + 20
                radius: 12
                color: Theme.secondarySystemBackground

                IconImage {
                    id: searchSymbol
                    x: 10
                    anchors.verticalCenter: parent.verticalCenter
                    source: Theme.icon("magnifyingglass")
                    sourceSize: Qt.size(18, 18)
                    color: Theme.gray
                }
                TextField {
                    id: searchField
                    objectName: "searchField"
                    anchors { left: searchSymbol.right; leftMargin: Theme.spacing; right: parent.right; rightMargin: 10 }
                    anchors.verticalCenter: parent.verticalCenter
                    padding: 0
                    background: null
                    placeholderText: qsTr("Поиск видео...")
                    placeholderTextColor: Theme.gray2
                    font.pixelSize: Theme.body
                    color: Theme.label
                    inputMethodHints: Qt.ImhNoAutoUppercase
                    text: root.searchText
                    onTextEdited: root.searchText = text
                }
            }

            ListView {
                id: list
                objectName: "videoList"
                anchors { left: parent.left; right: parent.right; top: searchBar.bottom; bottom: parent.bottom }
                clip: true
                spacing: 20
                bottomMargin: 20
                model: filtered
                boundsBehavior: Flickable.StopAtBounds

                header: Item {
                    width: list.width
                    height: headerRow.height + 12 + 16

                    Item {
                        id: headerRow
                        objectName: "videoHeaderRow"
                        x: 20
                        y: 12
                        width: parent.width - 40
                        height: Math.max(heading.implicitHeight, uploadButton.implicitHeight)
                        Text {
                            id: heading
                            objectName: "videoHeading"
                            width: Math.min(implicitWidth, uploadButton.x - Theme.spacing)
                            elide: Text.ElideRight
                            anchors.verticalCenter: parent.verticalCenter
                            text: qsTr("Видеозаписи")
                            font.pixelSize: 20
                            font.bold: true
                            color: Theme.label
                        }
                        AbstractButton {
                            id: uploadButton
                            objectName: "uploadVideoButton"
                            anchors.right: parent.right
                            anchors.verticalCenter: parent.verticalCenter
                            text: qsTr("+ Загрузить видео")
                            onClicked: uploadSheet.open()
                            contentItem: Text {
                                text: uploadButton.text
                                font.pixelSize: 13
                                font.bold: true
                                color: Theme.blue
                                opacity: uploadButton.pressed ? 0.4 : 1
                            }
                        }
                    }
                }

                // Below the header, where the cards would be: a footer never moves the list's top.
                // Its height comes from the text's, never the other way round.
                footer: Item {
                    width: list.width
                    height: emptyText.visible ? emptyText.implicitHeight : 0
                    Text {
                        id: emptyText
                        objectName: "emptyListText"
                        visible: filtered.count === 0
                        width: parent.width
                        padding: 20
                        textFormat: Text.PlainText
                        text: filtered.emptyText
                        wrapMode: Text.Wrap
                        font.pixelSize: 14
                        color: Theme.secondaryLabel
                    }
                }

                delegate: VideoCard {
                    width: list.width
                }
            }
        }
    }

    Sheet {
        id: uploadSheet
        objectName: "uploadSheet"
        content: Component {
            UploadVideoView {
                viewModel: root.viewModel
                onCloseRequested: uploadSheet.close()
            }
        }
    }
}
