import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// One member's profile and wall. It brings no navigation container: its presenter supplies one,
// whose bar shows `title`, and the profiles opened from the wall are pushed onto the same stack.
// Reloads each time it comes into view.
Rectangle {
    id: root

    // The user to show (the built-in sample user when none is given).
    property var user: undefined
    // The signed-in user, or null when the screen is opened from a list or a post.
    property var currentUser: null

    // The tab screen hands down the model it made at launch; a screen made alone makes its own.
    property ProfileViewModel viewModel: ownModel.createObject(root)
    readonly property string title: root.viewModel.fullName
    readonly property bool isOwnProfile: root.viewModel.isOwnProfile(root.viewModel.user, currentUser)
    property bool isSubscribed: false

    color: Theme.systemBackground

    Component {
        id: ownModel
        ProfileViewModel { initialUser: root.user }
    }

    onVisibleChanged: if (visible) root.viewModel.loadUserProfile()
    Component.onCompleted: if (visible) root.viewModel.loadUserProfile()

    Sheet {
        id: editSheet
        objectName: "editSheet"
        // The screen takes no update: a save changes this screen's model in place.
        content: EditProfileView {
            viewModel: root.viewModel
            onDismissRequested: editSheet.close()
        }
    }
    Sheet {
        id: followersSheet
        objectName: "followersSheet"
        content: UserListSheetView {
            title: qsTr("Подписчики")
            users: root.viewModel.sheetUsers()
            onDismissRequested: followersSheet.close()
        }
    }
    Sheet {
        id: followingSheet
        objectName: "followingSheet"
        content: UserListSheetView {
            title: qsTr("Подписки")
            users: root.viewModel.sheetUsers()
            onDismissRequested: followingSheet.close()
        }
    }

    Flickable {
        objectName: "profileScroll"
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

                Item {
                    id: cover
                    objectName: "profileCover"
                    width: parent.width
                    height: 160
                    clip: true

                    CoverGradient {
                        objectName: "coverGradient"
                        anchors.fill: parent
                    }
                    // Over the gradient, which stays in its place while the picture loads or fails;
                    // filling the frame, cut at its edges.
                    RoundedImage {
                        objectName: "coverImage"
                        anchors.fill: parent
                        radius: 0
                        visible: status === RoundedImage.Ready
                        source: root.viewModel.coverSource
                    }
                }
                AvatarView {
                    objectName: "profileAvatar"
                    x: 20
                    y: 160 - 84 + 40
                    size: 84
                    urlString: AvatarRules.avatarUrlOf(root.viewModel.user)
                    isOnline: AvatarRules.isOnlineOf(root.viewModel.user)
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
                        objectName: "profileHeaderRow"
                        width: parent.width
                        height: Math.max(names.height, actionButton.height)

                        Column {
                            id: names
                            anchors.left: parent.left
                            anchors.right: actionButton.left
                            anchors.rightMargin: Theme.spacing
                            spacing: 4
                            // The name wraps rather than being cut; the seal follows its longest line.
                            Item {
                                width: parent.width
                                height: Math.max(nameText.height, seal.visible ? seal.height : 0)
                                Text {
                                    id: nameText
                                    objectName: "profileName"
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: Math.min(implicitWidth, parent.width - (seal.visible ? seal.width + 6 : 0))
                                    wrapMode: Text.Wrap
                                    textFormat: Text.PlainText
                                    text: root.viewModel.fullName
                                    font.pixelSize: 22
                                    font.bold: true
                                    color: Theme.label
                                }
                                IconImage {
                                    id: seal
                                    objectName: "profileSeal"
                                    x: Math.ceil(nameText.contentWidth) + 6
                                    anchors.verticalCenter: parent.verticalCenter
                                    visible: root.viewModel.isVerified
                                    source: Theme.icon("checkmark.seal.fill")
                                    sourceSize: Qt.size(18, 18)
                                    color: Theme.blue
                                }
                            }
                            Text {
                                objectName: "statusLine"
                                visible: text !== ""
                                width: parent.width
                                wrapMode: Text.Wrap
                                textFormat: Text.PlainText
                                text: root.viewModel.statusText
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
                            // The subscription lives on this screen alone: nothing is sent or counted.
                            onClicked: root.isOwnProfile ? editSheet.open() : root.isSubscribed = !root.isSubscribed
                            background: Rectangle {
                                objectName: "profileActionBackground"
                                radius: 16
                                color: root.isOwnProfile || root.isSubscribed ? Theme.gray6 : Theme.blue
                            }
                            contentItem: Text {
                                objectName: "profileActionLabel"
                                text: actionButton.text
                                font.pixelSize: 13
                                font.weight: root.isOwnProfile ? Font.DemiBold : Font.Bold
                                color: root.isOwnProfile || root.isSubscribed ? Theme.label : "white"
                            }
                        }
                    }

                    Text {
                        objectName: "bioLine"
                        visible: text !== ""
                        width: parent.width
                        topPadding: 4
                        wrapMode: Text.Wrap
                        textFormat: Text.PlainText
                        text: root.viewModel.bio
                        font.pixelSize: 13
                        color: Theme.label
                    }

                    Row {
                        topPadding: 6
                        spacing: 20
                        CountButton {
                            objectName: "followersButton"
                            count: root.viewModel.followersCountText
                            noun: qsTr("подписчиков")
                            onClicked: followersSheet.open()
                        }
                        CountButton {
                            objectName: "followingButton"
                            count: root.viewModel.followingCountText
                            noun: qsTr("подписок")
                            onClicked: followingSheet.open()
                        }
                    }
                }
            }

            Item {
                width: parent.width
                height: 16 + 0.5 + 16
                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width
                    height: 0.5
                    color: Theme.separator
                }
            }

            Column {
                width: parent.width
                spacing: 12

                Text {
                    x: 20
                    text: qsTr("Стена записей")
                    font.pixelSize: 18
                    font.bold: true
                    color: Theme.label
                }

                Text {
                    objectName: "emptyWallText"
                    visible: wall.count === 0
                    padding: 20
                    text: qsTr("Публикаций пока нет.")
                    font.pixelSize: 14
                    color: Theme.secondaryLabel
                }

                Repeater {
                    id: wall
                    objectName: "wall"
                    model: root.viewModel.userPosts
                    // Cards without actions: like, comment and repost do nothing here. Their
                    // headers open further profiles on the stack this screen stands on.
                    delegate: PostCardView {
                        objectName: "wallCard" + postId
                        x: 16
                        width: column.width - 2 * 16
                        navigationStack: root.StackView.view
                    }
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
                objectName: "countText"
                text: count
                font.pixelSize: 14
                font.bold: true
                color: Theme.label
            }
            Text {
                objectName: "nounText"
                text: noun
                font.pixelSize: 14
                color: Theme.secondaryLabel
            }
        }
    }
}
