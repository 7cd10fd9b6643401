import QtQuick
import QtQuick.Controls
import Vorlane

// The news tab: the feed model's posts. The model belongs to the main screen; this screen
// reloads it each time it comes into view.
Item {
    id: root

    required property FeedViewModel feedViewModel
    // The signed-in user, a copy handed down by the main screen.
    required property var currentUser

    onVisibleChanged: if (visible) feedViewModel.loadFeed()
    Component.onCompleted: if (visible) feedViewModel.loadFeed()

    NavigationStack {
        id: navigation
        anchors.fill: parent
        initialItem: Rectangle {
            readonly property string title: qsTr("Главная лента")
            readonly property bool largeTitle: true
            color: Theme.groupedBackground

            ListView {
                objectName: "feedList"
                anchors.fill: parent
                topMargin: Theme.spacing
                bottomMargin: Theme.spacing
                spacing: Theme.spacing
                model: root.feedViewModel.posts
                delegate: PostCardView {
                    width: ListView.view.width
                    navigationStack: navigation.stack
                    onLike: root.feedViewModel.toggleLike(post)
                    onRepost: root.feedViewModel.toggleRepost(post, root.currentUser)
                }
            }
        }
    }
}
