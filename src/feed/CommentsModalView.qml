import QtQuick
import QtQuick.Controls
import Vorlane

// One post's comments in a sheet, with a field to add one. It works on its own copy of the post:
// what it sends never reaches the feed's list.
Rectangle {
    id: root

    required property var post
    required property var currentUser
    readonly property alias viewModel: comments

    signal dismissRequested()

    color: Theme.groupedBackground

    CommentsViewModel {
        id: comments
        post: root.post
        currentUser: root.currentUser
    }

    Component.onCompleted: comments.loadComments()

    NavigationStack {
        anchors { left: parent.left; right: parent.right; top: parent.top; bottom: inputBar.top }
        rootTrailingText: qsTr("Закрыть")
        onRootTrailingClicked: root.dismissRequested()
        initialItem: Rectangle {
            readonly property string title: qsTr("Комментарии")
            color: Theme.groupedBackground

            ListView {
                id: list
                objectName: "commentList"
                anchors.fill: parent
                model: comments.comments
                boundsBehavior: Flickable.StopAtBounds
                header: Column {
                    width: list.width
                    topPadding: 20

                    SectionHeader { text: qsTr("Запись") }
                    Rectangle {
                        x: 20
                        width: parent.width - 40
                        height: postText.height
                        radius: 10
                        color: Theme.secondaryGroupedBackground
                        Text {
                            id: postText
                            objectName: "commentsPostText"
                            x: Theme.padding
                            width: parent.width - 2 * Theme.padding
                            topPadding: 12
                            bottomPadding: 12
                            wrapMode: Text.Wrap
                            textFormat: Text.PlainText
                            text: comments.postText
                            font.pixelSize: 15
                            color: Theme.label
                        }
                    }
                    Item { width: 1; height: 24 }
                    SectionHeader {
                        objectName: "commentsSectionTitle"
                        text: comments.sectionTitle
                    }
                    Rectangle {
                        visible: comments.isEmpty
                        x: 20
                        width: parent.width - 40
                        height: visible ? emptyText.height : 0
                        radius: 10
                        color: Theme.secondaryGroupedBackground
                        Text {
                            id: emptyText
                            objectName: "commentsEmptyText"
                            x: Theme.padding
                            width: parent.width - 2 * Theme.padding
                            topPadding: 12
                            bottomPadding: 12
                            wrapMode: Text.Wrap
                            text: qsTr("Пока нет комментариев. Напишите первый комментарий!")
                            font.pixelSize: 14
                            color: Theme.secondaryLabel
                        }
                    }
                }
                footer: Item { width: 1; height: 20 }
                delegate: Item {
                    id: row
                    required property int index
                    required property string commentId
                    required property string authorName
                    required property var authorAvatarUrl
                    required property string text
                    required property string createdAtFormatted
                    objectName: "commentRow" + index
                    x: 20
                    width: ListView.view.width - 40
                    height: Math.max(avatar.height, lines.height) + 2 * 10

                    // One rounded card around all rows: only the first row rounds its top, only
                    // the last its bottom.
                    Rectangle {
                        anchors.fill: parent
                        radius: 10
                        color: Theme.secondaryGroupedBackground
                    }
                    Rectangle {
                        visible: row.index > 0
                        anchors { left: parent.left; right: parent.right; top: parent.top }
                        height: 10
                        color: Theme.secondaryGroupedBackground
                    }
                    Rectangle {
                        visible: row.index < list.count - 1
                        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                        height: 10
                        color: Theme.secondaryGroupedBackground
                    }

                    AvatarView {
                        id: avatar
                        x: Theme.padding
                        y: 10
                        size: 36
                        urlString: row.authorAvatarUrl
                    }
                    Column {
                        id: lines
                        anchors.left: avatar.right
                        anchors.leftMargin: 10
                        anchors.right: parent.right
                        anchors.rightMargin: Theme.padding
                        y: 10
                        spacing: 4
                        Item {
                            width: parent.width
                            height: name.height
                            Text {
                                id: name
                                objectName: "commentAuthor"
                                width: Math.min(implicitWidth, parent.width - time.width - 8)
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: row.authorName
                                font.pixelSize: 14
                                font.bold: true
                                color: Theme.label
                            }
                            Text {
                                id: time
                                anchors.right: parent.right
                                anchors.verticalCenter: name.verticalCenter
                                textFormat: Text.PlainText
                                text: row.createdAtFormatted
                                font.pixelSize: Theme.caption2
                                color: Theme.secondaryLabel
                            }
                        }
                        Text {
                            objectName: "commentText"
                            width: parent.width
                            wrapMode: Text.Wrap
                            textFormat: Text.PlainText
                            text: row.text
                            font.pixelSize: 14
                            color: Theme.label
                        }
                    }
                    Rectangle {
                        visible: row.index < list.count - 1
                        anchors { left: lines.left; right: parent.right; bottom: parent.bottom }
                        height: 0.5
                        color: Theme.separator
                    }
                }
            }
        }
    }

    Rectangle {
        id: inputBar
        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
        height: 56
        color: Theme.systemBackground
        Rectangle {
            anchors { left: parent.left; right: parent.right; top: parent.top }
            height: 0.5
            color: Theme.separator
        }

        Rectangle {
            anchors.left: parent.left
            anchors.leftMargin: Theme.padding
            anchors.right: sendButton.left
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            height: 38
            radius: 20
            color: Theme.secondarySystemBackground
            TextField {
                objectName: "commentField"
                anchors.fill: parent
                leftPadding: 14
                rightPadding: 14
                placeholderText: qsTr("Написать комментарий...")
                placeholderTextColor: Theme.gray
                font.pixelSize: Theme.body
                background: null
                text: comments.commentText
                onTextChanged: comments.commentText = text
            }
        }
        AbstractButton {
            id: sendButton
            objectName: "sendButton"
            anchors.right: parent.right
            anchors.rightMargin: Theme.padding
            anchors.verticalCenter: parent.verticalCenter
            width: 28
            height: 28
            enabled: comments.canSend
            onClicked: comments.sendComment()
            contentItem: IconImage {
                source: Theme.icon("paperplane.fill")
                sourceSize: Qt.size(20, 20)
                color: sendButton.enabled ? Theme.blue : Theme.gray2
            }
        }
    }

    component SectionHeader: Text {
        x: 20 + Theme.padding
        bottomPadding: 6
        textFormat: Text.PlainText
        font.pixelSize: Theme.footnote
        font.capitalization: Font.AllUppercase
        color: Theme.secondaryLabel
    }
}
