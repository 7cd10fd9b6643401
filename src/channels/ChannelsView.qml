import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The channels tab: the catalogue under a search field and the two segments. A row opens the
// channel's page; its subscribe button flips the subscription without opening anything. The
// screen sends nothing of its own: the model loads the catalogue once, when it is made.
Item {
    id: root

    // The signed-in user, a copy handed down by the main screen.
    property var currentUser: null
    // The tab screen hands down the model it made at launch; a screen made alone makes its own.
    property ChannelsViewModel viewModel: ownModel.createObject(root)
    readonly property alias navigation: navigation
    property string searchText: ""
    // 0 the whole catalogue, 1 the user's own channels.
    property int selectedTabSegment: 0

    // Both creation buttons ask for the creation form.
    signal createChannelRequested()

    function openCreateChannelForm() {
        root.createChannelRequested()
    }

    function openChannel(channel) {
        navigation.stack.push(Qt.resolvedUrl("ChannelDetailView.qml"),
                              { channel: channel, viewModel: root.viewModel, currentUser: root.currentUser })
    }

    Component {
        id: ownModel
        ChannelsViewModel {}
    }

    onCreateChannelRequested: createChannelSheet.open()

    Sheet {
        id: createChannelSheet
        objectName: "createChannelSheet"
        content: CreateChannelView {
            viewModel: root.viewModel
            currentUser: root.currentUser
            onCloseRequested: createChannelSheet.close()
        }
    }

    FilteredChannelsModel {
        id: shownChannels
        objectName: "filteredChannels"
        viewModel: root.viewModel
        currentUser: root.currentUser
        searchText: root.searchText
        segment: root.selectedTabSegment
    }

    NavigationStack {
        id: navigation
        anchors.fill: parent
        initialItem: Rectangle {
            readonly property string title: qsTr("Каналы")
            readonly property bool largeTitle: true
            color: Theme.systemBackground

            // The inset grouped list brings its own grey ground; the search and segments stand on white.
            Rectangle {
                anchors { left: parent.left; right: parent.right; top: list.top; bottom: parent.bottom }
                color: Theme.groupedBackground
            }

            Rectangle {
                id: searchBar
                objectName: "channelSearchBar"
                anchors { left: parent.left; right: parent.right; top: parent.top }
                anchors { leftMargin: 16; rightMargin: 16; topMargin: 8 }
                height: searchField.implicitHeight + 20
                radius: 12
                color: Theme.secondarySystemBackground

                IconImage {
                    id: searchIcon
                    anchors.left: parent.left
                    anchors.leftMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    source: Theme.icon("magnifyingglass")
                    sourceSize: Qt.size(17, 17)
                    color: Theme.gray
                }
                TextField {
                    id: searchField
                    objectName: "channelSearchField"
                    anchors.left: searchIcon.right
                    anchors.leftMargin: Theme.spacing
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    padding: 0
                    background: null
                    placeholderText: qsTr("Поиск каналов и пабликов...")
                    placeholderTextColor: Theme.gray
                    inputMethodHints: Qt.ImhNoAutoUppercase
                    font.pixelSize: Theme.body
                    color: Theme.label
                    text: root.searchText
                    onTextEdited: root.searchText = text
                }
            }

            SegmentedPicker {
                id: segments
                objectName: "channelSegments"
                anchors { left: parent.left; right: parent.right; top: searchBar.bottom }
                anchors { leftMargin: 16; rightMargin: 16; topMargin: 6 }
                labels: [qsTr("📢 Каталог"), qsTr("⭐ Мои каналы")]
                currentIndex: root.selectedTabSegment
                onCurrentIndexChanged: root.selectedTabSegment = currentIndex
            }

            ListView {
                id: list
                objectName: "channelList"
                anchors { left: parent.left; right: parent.right; top: segments.bottom; bottom: parent.bottom }
                anchors.topMargin: 6
                clip: true
                model: shownChannels
                boundsBehavior: Flickable.StopAtBounds
                bottomMargin: 24
                readonly property real cardWidth: width - 2 * 20

                header: Item {
                    objectName: "channelHeaderRow"
                    width: list.width
                    height: 46
                    Text {
                        objectName: "channelSectionHeader"
                        x: 20 + Theme.padding
                        width: Math.min(implicitWidth, createButton.x - x - Theme.spacing)
                        anchors.bottom: parent.bottom
                        anchors.bottomMargin: 7
                        elide: Text.ElideRight
                        textFormat: Text.PlainText
                        text: shownChannels.headerText
                        font.pixelSize: 13
                        color: Theme.secondaryLabel
                    }
                    AbstractButton {
                        id: createButton
                        objectName: "createChannelHeaderButton"
                        anchors.right: parent.right
                        anchors.rightMargin: 20 + Theme.padding
                        anchors.bottom: parent.bottom
                        anchors.bottomMargin: 3
                        height: 24
                        onClicked: root.openCreateChannelForm()
                        contentItem: Text {
                            verticalAlignment: Text.AlignVCenter
                            text: qsTr("+ Создать канал")
                            font.pixelSize: 13
                            font.bold: true
                            color: Theme.blue
                        }
                        background: null
                    }
                }

                // The empty-list block sits in the section's card where the rows would be.
                footer: Item {
                    width: list.width
                    height: list.count === 0 ? emptyCard.height : 0
                    visible: list.count === 0
                    Rectangle {
                        id: emptyCard
                        x: 20
                        width: list.cardWidth
                        height: emptyColumn.implicitHeight + 48
                        radius: 10
                        color: Theme.secondaryGroupedBackground
                        Column {
                            id: emptyColumn
                            y: 24
                            width: parent.width
                            spacing: 12
                            Text {
                                objectName: "channelsEmptyText"
                                width: parent.width - 2 * Theme.padding
                                anchors.horizontalCenter: parent.horizontalCenter
                                horizontalAlignment: Text.AlignHCenter
                                wrapMode: Text.Wrap
                                textFormat: Text.PlainText
                                text: shownChannels.emptyText
                                font.pixelSize: 15
                                color: Theme.secondaryLabel
                            }
                            AbstractButton {
                                id: createButton
                                objectName: "createChannelEmptyButton"
                                anchors.horizontalCenter: parent.horizontalCenter
                                leftPadding: 16
                                rightPadding: 16
                                topPadding: 8
                                bottomPadding: 8
                                text: qsTr("Создать новый канал")
                                onClicked: root.openCreateChannelForm()
                                contentItem: Text {
                                    text: createButton.text
                                    font.pixelSize: 14
                                    font.bold: true
                                    color: "white"
                                }
                                background: Rectangle {
                                    radius: 12
                                    color: Theme.blue
                                }
                            }
                        }
                    }
                }

                // One rounded card behind all rows, as in an inset grouped list.
                Rectangle {
                    parent: list.contentItem
                    z: -1
                    x: 20
                    // Rows start at 0 (the header sits above it) and the footer follows the last row.
                    y: 0
                    visible: list.count > 0
                    width: list.cardWidth
                    height: list.footerItem ? list.footerItem.y : 0
                    radius: 10
                    color: Theme.secondaryGroupedBackground
                }

                delegate: ChannelRow {
                    x: 20
                    width: list.cardWidth
                    isLast: index === list.count - 1
                    onOpenRequested: root.openChannel(channel)
                    onSubscribeRequested: root.viewModel.toggleSubscribe(channel)
                }
            }
        }
    }
}
