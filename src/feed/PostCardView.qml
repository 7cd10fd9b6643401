import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// One post as a card. Made as the delegate of a list of FeedViewModel.postRoles(): every role is
// a required property. The like, comment and repost actions are signals that do nothing unless
// the presenter handles them (the profile wall does not). The header opens the author's profile
// on `navigationStack` when one is given.
Item {
    id: root

    required property var post
    required property string postId
    required property var author
    required property string headerName
    required property var authorAvatarUrl
    required property bool authorIsOnline
    required property bool authorIsVerified
    required property string text
    required property string createdAtFormatted
    required property var attachments
    required property string likesCount
    required property bool isLiked
    required property string commentsCount
    required property string repostsCount
    required property bool isReposted
    required property string viewsCount

    // The StackView that the header pushes the author's profile onto; none: the header does nothing.
    property var navigationStack: null
    property bool showCopiedAlert: false

    signal like()
    signal comment()
    signal repost()

    implicitHeight: card.height + 8
    implicitWidth: 390

    onShowCopiedAlertChanged: if (showCopiedAlert) copiedAlert.open()

    // The faint shadow: black at 4 %, a little below the card and a little wider.
    Rectangle {
        x: card.x - 2
        y: card.y + 2 - 1
        width: card.width + 4
        height: card.height + 4
        radius: 18
        color: Qt.rgba(0, 0, 0, 0.04)
    }

    Rectangle {
        id: card
        objectName: "postCard"
        x: 8
        y: 4
        width: root.width - 16
        height: column.implicitHeight + 14 + 12
        radius: 16
        color: Theme.systemBackground

        Column {
            id: column
            y: 14
            width: parent.width
            spacing: 12

            AbstractButton {
                id: header
                objectName: "postHeader"
                x: Theme.padding
                width: parent.width - 2 * Theme.padding
                height: 42
                onClicked: {
                    if (root.navigationStack)
                        root.navigationStack.push(Qt.resolvedUrl("ProfileView.qml"),
                                                  { user: root.author, currentUser: null })
                }
                background: null

                contentItem: Item {
                    AvatarView {
                        id: avatar
                        objectName: "postAvatar"
                        anchors.verticalCenter: parent.verticalCenter
                        size: 42
                        urlString: root.authorAvatarUrl
                        isOnline: root.authorIsOnline
                    }
                    Column {
                        anchors.left: avatar.right
                        anchors.leftMargin: 10
                        anchors.right: menuButton.left
                        anchors.rightMargin: 10
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 2
                        Row {
                            width: parent.width
                            spacing: 4
                            Text {
                                id: nameText
                                objectName: "postHeaderName"
                                width: Math.min(implicitWidth, parent.width - (seal.visible ? seal.width + 4 : 0))
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: root.headerName
                                font.pixelSize: 15
                                font.bold: true
                                color: Theme.label
                            }
                            IconImage {
                                id: seal
                                objectName: "verifiedSeal"
                                anchors.verticalCenter: nameText.verticalCenter
                                visible: root.authorIsVerified
                                source: Theme.icon("checkmark.seal.fill")
                                sourceSize: Qt.size(15, 15)
                                color: Theme.blue
                            }
                        }
                        Text {
                            objectName: "postTime"
                            width: parent.width
                            elide: Text.ElideRight
                            textFormat: Text.PlainText
                            text: root.createdAtFormatted
                            font.pixelSize: Theme.caption
                            color: Theme.secondaryLabel
                        }
                    }
                    AbstractButton {
                        id: menuButton
                        objectName: "postMenuButton"
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        padding: 8
                        onClicked: menu.popup(menuButton, menuButton.width - menu.width, menuButton.height)
                        contentItem: IconImage {
                            source: Theme.icon("ellipsis")
                            sourceSize: Qt.size(18, 18)
                            color: Theme.secondaryLabel
                        }
                    }
                }
            }

            Text {
                objectName: "postText"
                x: Theme.padding
                width: parent.width - 2 * Theme.padding
                visible: root.text !== ""
                wrapMode: Text.Wrap
                textFormat: Text.PlainText
                text: root.text
                font.pixelSize: 15
                color: Theme.label
            }

            Repeater {
                model: root.attachments
                delegate: Loader {
                    id: slot
                    required property var modelData
                    objectName: "attachment_" + modelData.attachmentId
                    x: Theme.padding
                    width: column.width - 2 * Theme.padding
                    visible: modelData.kind !== "none"
                    sourceComponent: modelData.kind === "image" ? pictureComponent
                                     : modelData.kind === "audio" ? audioComponent : null

                    Component {
                        id: pictureComponent
                        Item {
                            objectName: "postPicture"
                            readonly property bool ready: picture.status === RoundedImage.Ready
                                                          && picture.imageSize.width > 0
                            width: slot.width
                            height: Math.round(ready ? width * picture.imageSize.height / picture.imageSize.width
                                                     : width * 9 / 16)
                            Rectangle {
                                objectName: "postPicturePlaceholder"
                                anchors.fill: parent
                                visible: !parent.ready
                                radius: 12
                                color: Qt.rgba(0.56, 0.56, 0.58, 0.2)
                            }
                            RoundedImage {
                                id: picture
                                objectName: "postPictureImage"
                                anchors.fill: parent
                                radius: 12
                                source: slot.modelData.url
                                visible: parent.ready
                            }
                        }
                    }

                    Component {
                        id: audioComponent
                        Rectangle {
                            objectName: "postAudioRow"
                            width: slot.width
                            height: 44 + 2 * 12
                            radius: 12
                            color: Theme.secondaryGroupedBackground
                            border.color: Theme.gray6
                            border.width: 1

                            Rectangle {
                                id: note
                                x: 12
                                anchors.verticalCenter: parent.verticalCenter
                                width: 44
                                height: 44
                                radius: 22
                                color: Theme.blue
                                IconImage {
                                    anchors.centerIn: parent
                                    source: Theme.icon("music.note")
                                    sourceSize: Qt.size(20, 20)
                                    color: "white"
                                }
                            }
                            Column {
                                anchors.left: note.right
                                anchors.leftMargin: 12
                                anchors.right: playButton.left
                                anchors.rightMargin: 12
                                anchors.verticalCenter: parent.verticalCenter
                                spacing: 2
                                Text {
                                    objectName: "audioTitle"
                                    width: parent.width
                                    elide: Text.ElideRight
                                    textFormat: Text.PlainText
                                    text: slot.modelData.title
                                    font.pixelSize: 14
                                    font.weight: Font.DemiBold
                                    color: Theme.label
                                }
                                Text {
                                    objectName: "audioSubtitle"
                                    width: parent.width
                                    elide: Text.ElideRight
                                    textFormat: Text.PlainText
                                    text: slot.modelData.subtitle
                                    font.pixelSize: Theme.caption
                                    color: Theme.secondaryLabel
                                }
                            }
                            AbstractButton {
                                id: playButton
                                objectName: "audioPlayButton"
                                anchors.right: parent.right
                                anchors.rightMargin: 12
                                anchors.verticalCenter: parent.verticalCenter
                                width: 32
                                height: 32
                                onClicked: PostCardActions.play(root.post, slot.modelData.index)
                                contentItem: IconImage {
                                    source: Theme.icon("play.circle.fill")
                                    sourceSize: Qt.size(32, 32)
                                    color: Theme.blue
                                }
                            }
                        }
                    }
                }
            }

            // One whole pixel on a whole row: half a pixel, or one at a fractional y, falls between
            // the rows of the software renderer on some cards and is not drawn at all.
            Rectangle {
                objectName: "postDivider"
                width: parent.width
                height: 1
                color: Theme.separator
            }

            Item {
                x: Theme.padding
                width: parent.width - 2 * Theme.padding
                height: likeButton.height

                Row {
                    spacing: 16
                    PostActionButton {
                        id: likeButton
                        objectName: "likeButton"
                        symbol: root.isLiked ? "heart.fill" : "heart"
                        symbolSize: 16
                        count: root.likesCount
                        tint: root.isLiked ? Theme.red : Theme.secondaryLabel
                        fill: root.isLiked ? Qt.rgba(1, 0.23, 0.19, 0.1) : Theme.groupedBackground
                        onClicked: root.like()
                    }
                    PostActionButton {
                        objectName: "commentButton"
                        symbol: "bubble.left"
                        count: root.commentsCount
                        tint: Theme.secondaryLabel
                        fill: Theme.groupedBackground
                        onClicked: root.comment()
                    }
                    PostActionButton {
                        objectName: "repostButton"
                        symbol: root.isReposted ? "arrow.triangle.2.circlepath.circle.fill"
                                                : "arrow.triangle.2.circlepath"
                        count: root.repostsCount
                        tint: root.isReposted ? Theme.green : Theme.secondaryLabel
                        fill: root.isReposted ? Qt.rgba(0.2, 0.78, 0.35, 0.1) : Theme.groupedBackground
                        onClicked: root.repost()
                    }
                }

                Row {
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 4
                    IconImage {
                        anchors.verticalCenter: parent.verticalCenter
                        source: Theme.icon("eye")
                        sourceSize: Qt.size(12, 12)
                        color: Theme.secondaryLabel
                    }
                    Text {
                        objectName: "viewsCount"
                        anchors.verticalCenter: parent.verticalCenter
                        text: root.viewsCount
                        font.pixelSize: Theme.caption
                        color: Theme.secondaryLabel
                    }
                }
            }
        }
    }

    Menu {
        id: menu
        objectName: "postMenu"
        // The style's fixed width would cut the entries short: as wide as the widest entry instead.
        width: {
            let widest = 0
            for (let i = 0; i < count; ++i)
                widest = Math.max(widest, itemAt(i).implicitWidth)
            return Math.max(implicitWidth, widest + leftPadding + rightPadding)
        }
        MenuItem {
            objectName: "copyLinkItem"
            text: qsTr("Скопировать ссылку (/post/...)")
            icon.source: Theme.icon("link")
            onTriggered: {
                PostCardActions.copyLink(root.post)
                root.showCopiedAlert = true
            }
        }
        MenuItem {
            objectName: "repostMenuItem"
            text: qsTr("Репостнуть на свою страницу")
            icon.source: Theme.icon("arrow.triangle.2.circlepath")
            onTriggered: root.repost()
        }
    }

    Dialog {
        id: copiedAlert
        objectName: "copiedAlert"
        parent: Overlay.overlay
        anchors.centerIn: parent
        width: 270
        modal: true
        focus: true
        closePolicy: Popup.CloseOnEscape
        title: qsTr("Ссылка скопирована")
        onClosed: root.showCopiedAlert = false

        Text {
            objectName: "copiedAlertMessage"
            // Holds the alert's focus so that Enter presses «OK».
            focus: true
            Keys.onReturnPressed: copiedAlert.close()
            Keys.onEnterPressed: copiedAlert.close()
            width: parent.width
            wrapMode: Text.Wrap
            horizontalAlignment: Text.AlignHCenter
            text: qsTr("Уникальная ссылка на пост скопирована в буфер обмена.")
            font.pixelSize: Theme.footnote
            color: Theme.label
        }

        footer: DialogButtonBox {
            Button {
                objectName: "copiedAlertOk"
                text: qsTr("OK")
                flat: true
                onClicked: copiedAlert.close()
            }
        }
    }
}
