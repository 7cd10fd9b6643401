import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// The page of one channel: cover and avatar, name, the category and count that open the
// subscribers, the creator's controls or the subscribe button, the description, then the posts.
// It brings no navigation container: the channels screen pushes it onto its own. Every time it
// comes on screen it asks for its channel afresh.
Rectangle {
    id: root

    // The Channel record the page was opened for.
    property var channel
    property ChannelsViewModel viewModel
    property var currentUser: null

    readonly property alias presenter: presenter
    readonly property string title: presenter.name

    // The creator's settings button asks for the editing form.
    signal editChannelRequested()

    color: Theme.systemBackground

    ChannelDetailPresenter {
        id: presenter
        viewModel: root.viewModel
        channel: root.channel
        currentUser: root.currentUser
    }

    // Appearing is being pushed or popped back to, or the tab showing again with the page on top.
    StackView.onActivated: presenter.appear()
    onVisibleChanged: if (visible && StackView.status === StackView.Active) presenter.appear()

    function openSubscribers() {
        presenter.openSubscribers()
        subscribersSheet.open()
    }

    onEditChannelRequested: editChannelSheet.open()

    // The unsent post lives with the page, so that closing the composer keeps it.
    ChannelPostDraft {
        id: postDraft
        viewModel: root.viewModel
        channel: root.channel
    }

    Sheet {
        id: editChannelSheet
        objectName: "editChannelSheet"
        content: EditChannelView {
            viewModel: root.viewModel
            channel: presenter.displayChannel
            onCloseRequested: editChannelSheet.close()
        }
    }

    Sheet {
        id: postComposerSheet
        objectName: "postComposerSheet"
        content: ChannelPostComposerView {
            draft: postDraft
            onCloseRequested: postComposerSheet.close()
        }
    }

    Sheet {
        id: subscribersSheet
        objectName: "subscribersSheet"
        content: UserListSheetView {
            title: qsTr("Подписчики канала")
            users: presenter.subscribers
            onDismissRequested: subscribersSheet.close()
        }
    }

    Flickable {
        id: flick
        objectName: "channelPageScroll"
        anchors.fill: parent
        contentHeight: page.height + 24
        boundsBehavior: Flickable.StopAtBounds

        Column {
            id: page
            width: flick.width
            spacing: 0

            Item {
                width: parent.width
                height: 160 + 45

                CoverGradient {
                    objectName: "coverGradient"
                    width: parent.width
                    height: 160
                }
                RoundedImage {
                    objectName: "coverImage"
                    width: parent.width
                    height: 160
                    radius: 0
                    source: presenter.coverSource
                    visible: presenter.coverSource !== "" && status === RoundedImage.Ready
                }
                Rectangle {
                    x: 20 - 2
                    y: 160 - 84 + 40 - 2
                    width: 84 + 4
                    height: width
                    radius: width / 2
                    color: Theme.systemBackground
                    AvatarView {
                        objectName: "channelAvatar"
                        anchors.centerIn: parent
                        size: 84
                        urlString: presenter.avatarUrl
                    }
                }
            }

            Column {
                x: 20
                width: parent.width - 40
                spacing: 10

                Item {
                    width: parent.width
                    height: Math.max(nameColumn.height, trailing.height)

                    Column {
                        id: nameColumn
                        anchors.left: parent.left
                        anchors.right: trailing.left
                        anchors.rightMargin: Theme.spacing
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 3

                        // The seal follows the name's widest line, as the name is only as wide as its text.
                        Item {
                            width: parent.width
                            height: pageName.height
                            Text {
                                id: pageName
                                objectName: "channelPageName"
                                width: parent.width - (pageSeal.visible ? pageSeal.width + 6 : 0)
                                wrapMode: Text.Wrap
                                textFormat: Text.PlainText
                                text: presenter.name
                                font.pixelSize: 22
                                font.bold: true
                                color: Theme.label
                            }
                            IconImage {
                                id: pageSeal
                                objectName: "channelPageSeal"
                                x: pageName.contentWidth + 6
                                anchors.verticalCenter: parent.verticalCenter
                                visible: presenter.isVerified
                                source: Theme.icon("checkmark.seal.fill")
                                sourceSize: Qt.size(19, 19)
                                color: Theme.blue
                            }
                        }
                        AbstractButton {
                            id: subscribersButton
                            objectName: "subscribersButton"
                            width: parent.width
                            text: presenter.categoryLine
                            onClicked: root.openSubscribers()
                            contentItem: Text {
                                wrapMode: Text.Wrap
                                textFormat: Text.PlainText
                                text: subscribersButton.text
                                font.pixelSize: 14
                                color: Theme.blue
                            }
                            background: null
                        }
                    }

                    Item {
                        id: trailing
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        width: presenter.isCreator ? creatorControls.width : pageSubscribeButton.width
                        height: presenter.isCreator ? creatorControls.height : pageSubscribeButton.height

                        Row {
                            id: creatorControls
                            visible: presenter.isCreator
                            spacing: 8
                            AbstractButton {
                                id: settingsButton
                                objectName: "channelSettingsButton"
                                anchors.verticalCenter: parent.verticalCenter
                                enabled: presenter.isCreator
                                padding: 8
                                onClicked: root.editChannelRequested()
                                contentItem: IconImage {
                                    source: Theme.icon("gearshape.fill")
                                    sourceSize: Qt.size(17, 17)
                                    color: Theme.gray
                                }
                                background: Rectangle {
                                    radius: 12
                                    color: Theme.groupedBackground
                                }
                            }
                            Rectangle {
                                objectName: "creatorBadge"
                                anchors.verticalCenter: parent.verticalCenter
                                width: badgeText.implicitWidth + 24
                                height: badgeText.implicitHeight + 12
                                radius: 14
                                color: Qt.rgba(1, 0.584, 0, 0.2)
                                Text {
                                    id: badgeText
                                    anchors.centerIn: parent
                                    text: qsTr("Создатель ⭐")
                                    font.pixelSize: 13
                                    font.bold: true
                                    color: Theme.orange
                                }
                            }
                        }

                        AbstractButton {
                            id: pageSubscribeButton
                            objectName: "pageSubscribeButton"
                            visible: !presenter.isCreator
                            enabled: !presenter.isCreator
                            leftPadding: 16
                            rightPadding: 16
                            topPadding: 8
                            bottomPadding: 8
                            text: presenter.subscribeButtonText
                            onClicked: presenter.toggleSubscribe()
                            contentItem: Text {
                                text: pageSubscribeButton.text
                                font.pixelSize: 14
                                font.bold: true
                                color: presenter.isSubscribed ? Theme.label : "white"
                            }
                            background: Rectangle {
                                radius: 20
                                color: presenter.isSubscribed ? Theme.groupedBackground : Theme.blue
                            }
                        }
                    }
                }

                Text {
                    objectName: "channelPageDescription"
                    width: parent.width
                    topPadding: 4
                    wrapMode: Text.Wrap
                    textFormat: Text.PlainText
                    text: presenter.description
                    font.pixelSize: 14
                    color: Theme.secondaryLabel
                }
            }

            Item {
                width: parent.width
                height: 16 + 0.5 + 16
                Rectangle {
                    y: 16
                    width: parent.width
                    height: 0.5
                    color: Theme.separator
                }
            }

            Column {
                id: postsSection
                objectName: "postsSection"
                width: parent.width
                spacing: 14

                Item {
                    x: 20
                    width: parent.width - 40
                    height: Math.max(postsTitle.implicitHeight, postsHeaderActions.height)
                    Text {
                        id: postsTitle
                        anchors.verticalCenter: parent.verticalCenter
                        text: qsTr("Записи канала")
                        font.pixelSize: 18
                        font.bold: true
                        color: Theme.label
                    }
                    // The creator's actions on posts stand at the trailing end of this row.
                    Row {
                        id: postsHeaderActions
                        objectName: "postsHeaderActions"
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 4

                        AbstractButton {
                            objectName: "createPostButton"
                            visible: presenter.isCreator
                            onClicked: postComposerSheet.open()
                            leftPadding: 12
                            rightPadding: 12
                            topPadding: 6
                            bottomPadding: 6
                            contentItem: Row {
                                spacing: 4
                                AudioSymbol {
                                    anchors.verticalCenter: parent.verticalCenter
                                    symbol: "square.and.pencil"
                                    size: 14
                                    color: "white"
                                }
                                Text {
                                    anchors.verticalCenter: parent.verticalCenter
                                    text: qsTr("Создать запись")
                                    font.pixelSize: 13
                                    font.bold: true
                                    color: "white"
                                }
                            }
                            background: Rectangle {
                                radius: 12
                                color: Theme.blue
                            }
                        }
                    }
                }

                Repeater {
                    objectName: "postCards"
                    model: presenter.posts
                    delegate: ChannelPostCard {
                        width: postsSection.width
                    }
                }

                Text {
                    objectName: "noPostsText"
                    visible: !presenter.hasPosts
                    width: parent.width
                    padding: 20
                    wrapMode: Text.Wrap
                    textFormat: Text.PlainText
                    text: presenter.noPostsText
                    font.pixelSize: 14
                    color: Theme.secondaryLabel
                }
            }
        }
    }
}
