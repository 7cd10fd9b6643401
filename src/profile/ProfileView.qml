import QtQuick
import QtQuick.Controls
import Vorlane

// One member's profile and wall. It brings no navigation container: its presenter supplies one,
// whose bar shows `title`. Reloads each time it comes into view.
Rectangle {
    id: root

    // The user to show (the built-in sample user when none is given).
    property var user: undefined
    // The signed-in user, or null when the screen is opened from a list or a post.
    property var currentUser: null

    readonly property alias viewModel: profileModel
    readonly property string title: profileModel.fullName
    readonly property bool isOwnProfile: profileModel.isOwnProfile(profileModel.user, currentUser)
    property bool isSubscribed: false

    color: Theme.systemBackground

    ProfileViewModel {
        id: profileModel
        initialUser: root.user
    }

    onVisibleChanged: if (visible) profileModel.loadUserProfile()
    Component.onCompleted: if (visible) profileModel.loadUserProfile()

    Sheet {
        id: followersSheet
        content: UserListSheetView {
            title: qsTr("Подписчики")
            users: profileModel.sheetUsers()
            onDismissRequested: followersSheet.close()
        }
    }
    Sheet {
        id: followingSheet
        content: UserListSheetView {
            title: qsTr("Подписки")
            users: profileModel.sheetUsers()
            onDismissRequested: followingSheet.close()
        }
    }

    Flickable {
        anchors.fill: parent
        contentHeight: column.height + 20
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: column
            width: parent.width
            spacing: 0

            Item {
                width: parent.width
                height: 160 + 45

                Rectangle {
                    width: parent.width
                    height: 160
                    gradient: Gradient {
                        orientation: Gradient.Horizontal
                        GradientStop { position: 0; color: Theme.blue }
                        GradientStop { position: 1; color: "#AF52DE" } // the platform's purple
                    }
                }
                AvatarView {
                    objectName: "profileAvatar"
                    x: 20
                    y: 160 - 84 + 40
                    size: 84
                    urlString: AvatarRules.avatarUrlOf(profileModel.user)
                    isOnline: AvatarRules.isOnlineOf(profileModel.user)
                }
            }

            Item {
                x: 20
                width: parent.width - 40
                height: info.height

                Column {
                    id: info
                    width: parent.width
                    spacing: 10

                    Item {
                        width: parent.width
                        height: Math.max(names.height, actionButton.height)

                        Column {
                            id: names
                            anchors.left: parent.left
                            anchors.right: actionButton.left
                            anchors.rightMargin: Theme.spacing
                            spacing: 4
                            Text {
                                objectName: "profileName"
                                width: parent.width
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: profileModel.fullName
                                font.pixelSize: 22
                                font.bold: true
                                color: Theme.label
                            }
                            Text {
                                width: parent.width
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: profileModel.handle
                                font.pixelSize: 14
                                color: Theme.secondaryLabel
                            }
                        }

                        AbstractButton {
                            id: actionButton
                            objectName: "profileActionButton"
                            anchors.right: parent.right
                            anchors.verticalCenter: parent.verticalCenter
                            leftPadding: root.isOwnProfile ? 14 : 16
                            rightPadding: leftPadding
                            topPadding: root.isOwnProfile ? 7 : 8
                            bottomPadding: topPadding
                            text: root.isOwnProfile ? qsTr("Редактировать")
                                                    : root.isSubscribed ? qsTr("Вы подписаны") : qsTr("Подписаться")
                            onClicked: if (!root.isOwnProfile) root.isSubscribed = !root.isSubscribed
                            background: Rectangle {
                                radius: 16
                                color: root.isOwnProfile || root.isSubscribed ? Theme.gray6 : Theme.blue
                            }
                            contentItem: Text {
                                text: actionButton.text
                                font.pixelSize: 13
                                font.weight: root.isOwnProfile ? Font.DemiBold : Font.Bold
                                color: root.isOwnProfile || root.isSubscribed ? Theme.label : "white"
                            }
                        }
                    }

                    Row {
                        topPadding: 6
                        spacing: 20
                        CountButton {
                            objectName: "followersButton"
                            count: profileModel.followersCountText
                            noun: qsTr("подписчиков")
                            onClicked: followersSheet.open()
                        }
                        CountButton {
                            objectName: "followingButton"
                            count: profileModel.followingCountText
                            noun: qsTr("подписок")
                            onClicked: followingSheet.open()
                        }
                    }
                }
            }

            Rectangle {
                width: parent.width
                height: 0.5 + 32
                color: "transparent"
                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width
                    height: 0.5
                    color: Theme.separator
                }
            }

            Text {
                x: 20
                text: qsTr("Стена записей")
                font.pixelSize: 18
                font.bold: true
                color: Theme.label
                bottomPadding: 12
            }

            Text {
                objectName: "emptyWallText"
                visible: wall.count === 0
                x: 20
                topPadding: 20
                text: qsTr("Публикаций пока нет.")
                font.pixelSize: 14
                color: Theme.secondaryLabel
            }

            Repeater {
                id: wall
                model: profileModel.userPosts
                delegate: SimpleCardRow {
                    required property string authorName
                    required property var authorAvatarUrl
                    required property bool authorIsOnline
                    required property string createdAtFormatted
                    required property string text
                    width: column.width
                    avatarUrl: authorAvatarUrl
                    isOnline: authorIsOnline
                    title: authorName
                    subtitle: createdAtFormatted
                    body: text
                }
            }
        }
    }

    component CountButton: AbstractButton {
        property string count
        property string noun
        contentItem: Row {
            spacing: 4
            Text {
                text: count
                font.pixelSize: 14
                font.bold: true
                color: Theme.label
            }
            Text {
                text: noun
                font.pixelSize: 14
                color: Theme.secondaryLabel
            }
        }
    }
}
