import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import Vorlane

// A titled sheet listing users; each row opens that user's profile inside the sheet.
// The caller presents it and closes its sheet on dismissRequested.
Rectangle {
    id: root

    property string title
    // A list of user records, shown in the order given.
    property var users: []

    signal dismissRequested()

    color: Theme.groupedBackground

    UserListModel {
        id: userModel
        users: root.users
    }

    NavigationStack {
        id: navigation
        anchors.fill: parent
        rootTrailingText: qsTr("Закрыть")
        onRootTrailingClicked: root.dismissRequested()
        initialItem: listScreen
    }

    Component {
        id: listScreen

        Rectangle {
            readonly property string title: root.title
            color: Theme.groupedBackground

            ListView {
                id: list
                objectName: "userList"
                anchors.fill: parent
                topMargin: 24
                bottomMargin: 24
                leftMargin: 20
                rightMargin: 20
                model: userModel
                boundsBehavior: Flickable.StopAtBounds

                // One rounded card behind all rows, as in an inset grouped list.
                Rectangle {
                    parent: list.contentItem
                    z: -1
                    y: 0
                    width: list.width - list.leftMargin - list.rightMargin
                    height: list.count > 0 ? list.contentHeight : emptyRow.height
                    radius: 10
                    color: Theme.secondaryGroupedBackground
                }

                Text {
                    id: emptyRow
                    objectName: "emptyListText"
                    parent: list.contentItem
                    visible: list.count === 0
                    x: Theme.padding
                    width: list.width - list.leftMargin - list.rightMargin - 2 * Theme.padding
                    topPadding: 20
                    bottomPadding: 20
                    text: qsTr("Список пока пуст.")
                    font.pixelSize: Theme.body
                    color: Theme.secondaryLabel
                }

                delegate: AbstractButton {
                    id: row
                    required property int index
                    required property string fullName
                    required property string handle
                    required property var avatarUrl
                    required property bool isOnline
                    required property var user

                    objectName: "userRow" + index
                    width: ListView.view.width - ListView.view.leftMargin - ListView.view.rightMargin
                    height: 62
                    // By address: the profile screen opens user lists in turn.
                    onClicked: navigation.stack.push(Qt.resolvedUrl("ProfileView.qml"),
                                                     { user: row.user, currentUser: null })

                    background: Rectangle {
                        color: row.pressed ? Theme.gray5 : "transparent"
                        radius: 10
                    }

                    contentItem: Item {
                        AvatarView {
                            id: avatar
                            anchors.left: parent.left
                            anchors.leftMargin: Theme.padding
                            anchors.verticalCenter: parent.verticalCenter
                            size: 44
                            urlString: row.avatarUrl
                            isOnline: row.isOnline
                        }
                        Column {
                            anchors.left: avatar.right
                            anchors.leftMargin: 12
                            anchors.right: chevron.left
                            anchors.rightMargin: 8
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: 2
                            Text {
                                width: parent.width
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: row.fullName
                                font.pixelSize: 15
                                font.bold: true
                                color: Theme.label
                            }
                            Text {
                                width: parent.width
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: row.handle
                                font.pixelSize: Theme.caption
                                color: Theme.secondaryLabel
                            }
                        }
                        IconImage {
                            id: chevron
                            anchors.right: parent.right
                            anchors.rightMargin: Theme.padding
                            anchors.verticalCenter: parent.verticalCenter
                            source: Theme.icon("chevron.right")
                            sourceSize: Qt.size(13, 13)
                            color: Theme.gray2
                        }
                        Rectangle {
                            visible: row.index < list.count - 1
                            anchors.left: parent.left
                            anchors.leftMargin: Theme.padding + 44 + 12
                            anchors.right: parent.right
                            anchors.bottom: parent.bottom
                            height: 0.5
                            color: Theme.separator
                        }
                    }
                }
            }
        }
    }
}
