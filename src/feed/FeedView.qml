import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The news tab: search, the two segments, the composer row and the feed's posts as cards. The
// model belongs to the main screen; this screen reloads it each time it comes into view (its tab
// chosen, or uncovered when a pushed profile closes), not when one of its sheets closes.
Item {
    id: root

    required property FeedViewModel feedViewModel
    // The signed-in user, a copy handed down by the main screen.
    required property var currentUser

    property bool showCreatePostModal: false
    property var selectedPostForComments: null
    property int selectedFeedSegment: 0
    readonly property alias searchModel: search

    onShowCreatePostModalChanged: showCreatePostModal ? composerSheet.open() : composerSheet.close()
    onSelectedPostForCommentsChanged: selectedPostForComments !== null ? commentsSheet.open() : commentsSheet.close()

    PostSearchModel {
        id: search
        feed: root.feedViewModel
    }

    NavigationStack {
        id: navigation
        anchors.fill: parent
        initialItem: Rectangle {
            id: page
            objectName: "feedPage"
            readonly property string title: qsTr("Главная лента")
            readonly property bool largeTitle: true
            // A sheet covers the page without hiding it, so only a real appearance reloads.
            property bool onScreen: false
            color: Theme.groupedBackground

            function appearanceChanged() {
                if (visible && !onScreen)
                    root.feedViewModel.loadFeed()
                onScreen = visible
            }
            onVisibleChanged: appearanceChanged()
            Component.onCompleted: appearanceChanged()

            ListView {
                id: list
                objectName: "feedList"
                anchors.fill: parent
                topMargin: Theme.spacing
                spacing: 0
                model: search
                // No card is ever the current one: the list gives its current item the focus, and
                // would take it from the search field above whenever the matching posts change.
                currentIndex: -1
                boundsBehavior: Flickable.StopAtBounds
                header: Column {
                    width: list.width
                    spacing: Theme.spacing
                    bottomPadding: Theme.spacing

                    Rectangle {
                        x: Theme.padding
                        width: parent.width - 2 * Theme.padding
                        height: 36
                        radius: 12
                        color: Theme.secondarySystemBackground
                        IconImage {
                            id: glass
                            x: 10
                            anchors.verticalCenter: parent.verticalCenter
                            source: Theme.icon("magnifyingglass")
                            sourceSize: Qt.size(16, 16)
                            color: Theme.gray
                        }
                        TextField {
                            objectName: "searchField"
                            anchors.left: glass.right
                            anchors.leftMargin: 6
                            anchors.right: parent.right
                            anchors.rightMargin: 8
                            anchors.verticalCenter: parent.verticalCenter
                            placeholderText: qsTr("Поиск по новостям, авторам, никнеймам...")
                            placeholderTextColor: Theme.gray
                            inputMethodHints: Qt.ImhNoAutoUppercase
                            font.pixelSize: Theme.body
                            background: null
                            text: search.searchText
                            onTextChanged: search.searchText = text
                        }
                    }

                    Rectangle {
                        objectName: "segmentPicker"
                        x: Theme.padding
                        width: parent.width - 2 * Theme.padding
                        height: 32
                        radius: 8
                        color: Theme.gray5
                        Row {
                            anchors.fill: parent
                            anchors.margins: 2
                            Repeater {
                                model: [qsTr("🔥 Рекомендации"), qsTr("👥 Мои подписки")]
                                delegate: AbstractButton {
                                    id: segment
                                    required property int index
                                    required property string modelData
                                    objectName: "segment" + index
                                    width: parent.width / 2
                                    height: parent.height
                                    onClicked: root.selectedFeedSegment = index
                                    background: Rectangle {
                                        radius: 7
                                        color: root.selectedFeedSegment === segment.index ? Theme.systemBackground
                                                                                          : "transparent"
                                    }
                                    contentItem: Text {
                                        horizontalAlignment: Text.AlignHCenter
                                        verticalAlignment: Text.AlignVCenter
                                        text: segment.modelData
                                        font.pixelSize: Theme.footnote
                                        font.weight: root.selectedFeedSegment === segment.index ? Font.DemiBold
                                                                                                : Font.Normal
                                        color: Theme.label
                                    }
                                }
                            }
                        }
                    }

                    Rectangle {
                        x: Theme.padding
                        width: parent.width - 2 * Theme.padding
                        height: 38 + 2 * 12
                        radius: 12
                        color: Theme.systemBackground
                        AvatarView {
                            id: composerAvatar
                            x: 12
                            anchors.verticalCenter: parent.verticalCenter
                            size: 38
                            urlString: AvatarRules.avatarUrlOf(root.currentUser)
                        }
                        AbstractButton {
                            objectName: "composerButton"
                            anchors.left: composerAvatar.right
                            anchors.leftMargin: 12
                            anchors.right: parent.right
                            anchors.top: parent.top
                            anchors.bottom: parent.bottom
                            onClicked: root.showCreatePostModal = true
                            contentItem: Text {
                                verticalAlignment: Text.AlignVCenter
                                text: qsTr("Что у вас нового?")
                                font.pixelSize: 15
                                color: Theme.secondaryLabel
                            }
                        }
                    }

                    Text {
                        objectName: "feedEmptyText"
                        visible: search.count === 0
                        x: 24
                        width: parent.width - 48
                        topPadding: 24
                        bottomPadding: 24
                        wrapMode: Text.Wrap
                        horizontalAlignment: Text.AlignHCenter
                        textFormat: Text.PlainText
                        text: search.emptyText
                        font.pixelSize: 14
                        color: Theme.secondaryLabel
                    }
                }
                footer: Item {
                    width: list.width
                    height: 80
                }
                delegate: PostCardView {
                    width: ListView.view.width
                    objectName: "postCard_" + postId
                    navigationStack: navigation.stack
                    onLike: root.feedViewModel.toggleLike(post)
                    onRepost: root.feedViewModel.toggleRepost(post, root.currentUser)
                    onComment: root.selectedPostForComments = post
                }
            }
        }
    }

    Sheet {
        id: composerSheet
        objectName: "composerSheet"
        onClosed: root.showCreatePostModal = false
        content: CreatePostView {
            objectName: "createPostView"
            feedViewModel: root.feedViewModel
            currentUser: root.currentUser
            onDismissRequested: root.showCreatePostModal = false
        }
    }

    Sheet {
        id: commentsSheet
        objectName: "commentsSheet"
        onClosed: root.selectedPostForComments = null
        content: CommentsModalView {
            objectName: "commentsModalView"
            post: root.selectedPostForComments
            currentUser: root.currentUser
            onDismissRequested: root.selectedPostForComments = null
        }
    }
}
