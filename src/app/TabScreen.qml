import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import QtQuick.Layouts
import Vorlane

// The five tabs with the mini player in front of them, shown once the session holds a user.
// MainTabView loads this file by address only then, so that the screens of every tab are not
// read before the sign-in screen's first frame.
Item {
    id: screen
    objectName: "tabScreen"

    // The composition root: its session model, feed model and selected tab.
    required property MainTabView mainTabView

    // The tabs' models are made with this screen, so that each starts its first load at once;
    // the screens that show them are made when their tab is first shown, and kept.
    ChannelsViewModel {
        id: channelsModel
    }
    MusicViewModel {
        id: musicModel
    }
    VideoViewModel {
        id: videoModel
    }
    ProfileViewModel {
        id: ownProfileModel
        initialUser: screen.mainTabView.authViewModel.currentUser
    }

    // Made the first time its tab is shown, then kept with its state.
    component TabPage: Loader {
        required property bool shown
        active: false
        onShownChanged: if (shown) active = true
        Component.onCompleted: if (shown) active = true
    }

    StackLayout {
        id: tabs
        objectName: "tabStack"
        anchors { left: parent.left; right: parent.right; top: parent.top; bottom: tabBar.top }
        currentIndex: screen.mainTabView.selectedTab

        TabPage {
            shown: tabs.currentIndex === 0
            sourceComponent: FeedView {
                objectName: "feedTab"
                feedViewModel: screen.mainTabView.feedViewModel
                currentUser: screen.mainTabView.authViewModel.currentUser
            }
        }
        TabPage {
            shown: tabs.currentIndex === 1
            sourceComponent: ChannelsView {
                objectName: "channelsTab"
                viewModel: channelsModel
                currentUser: screen.mainTabView.authViewModel.currentUser
            }
        }
        TabPage {
            shown: tabs.currentIndex === 2
            sourceComponent: MusicView {
                objectName: "musicTab"
                viewModel: musicModel
            }
        }
        TabPage {
            shown: tabs.currentIndex === 3
            sourceComponent: VideoCatalogView {
                objectName: "videoTab"
                viewModel: videoModel
            }
        }
        // The profile screen brings no navigation container: the tab supplies one.
        TabPage {
            shown: tabs.currentIndex === 4
            sourceComponent: NavigationStack {
                objectName: "profileTab"
                initialItem: ProfileView {
                    objectName: "ownProfile"
                    viewModel: ownProfileModel
                    user: screen.mainTabView.authViewModel.currentUser
                    currentUser: screen.mainTabView.authViewModel.currentUser
                }
            }
        }
    }

    Rectangle {
        id: tabBar
        objectName: "tabBar"
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 49
        color: "#F9F9F9"

        Rectangle {
            anchors { left: parent.left; right: parent.right; top: parent.top }
            height: 0.5
            color: Theme.separator
        }

        Row {
            anchors.fill: parent
            Repeater {
                model: [
                    { title: qsTr("Новости"), symbol: "newspaper.fill" },
                    { title: qsTr("Каналы"), symbol: "text.bubble.fill" },
                    { title: qsTr("Музыка"), symbol: "music.note.house.fill" },
                    { title: qsTr("Видео"), symbol: "play.tv.fill" },
                    { title: qsTr("Профиль"), symbol: "person.crop.circle.fill" }
                ]
                delegate: AbstractButton {
                    id: tabButton
                    required property int index
                    required property var modelData
                    readonly property bool selected: screen.mainTabView.selectedTab === index
                    objectName: "tabButton" + index
                    width: tabBar.width / 5
                    height: tabBar.height
                    text: modelData.title
                    onClicked: screen.mainTabView.selectedTab = index

                    contentItem: Column {
                        topPadding: 5
                        spacing: 2
                        IconImage {
                            anchors.horizontalCenter: parent.horizontalCenter
                            source: Theme.icon(tabButton.modelData.symbol)
                            sourceSize: Qt.size(26, 26)
                            color: tabButton.selected ? Theme.blue : Theme.gray
                        }
                        Text {
                            anchors.horizontalCenter: parent.horizontalCenter
                            text: tabButton.text
                            font.pixelSize: 10
                            font.weight: Font.Medium
                            color: tabButton.selected ? Theme.blue : Theme.gray
                        }
                    }
                }
            }
        }
    }

    // In front of every tab, aligned to the bottom edge of the whole tab screen; its own
    // bottom margin lifts it above the tab bar.
    MiniPlayerView {
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: implicitHeight
    }
}
