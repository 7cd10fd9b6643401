import QtQuick
import QtQuick.Controls.impl
import Vorlane

// A circular avatar: the picture when the address is usable, the person symbol otherwise, and
// a green dot at the lower trailing corner for an online user. Callers choose the size.
Item {
    id: root

    // Text or nothing; the picture's address.
    property var urlString: null
    property real size: 44
    property bool isOnline: false
    // Made from a user instead: its avatar address and online flag are copied when the view is made.
    property var user: undefined

    readonly property bool hasUsableAddress: AvatarRules.isUsableAddress(urlString)
    // "fallback" (blue symbol), "placeholder" (grey symbol while loading or after a failed load), "image".
    readonly property string pictureState: !hasUsableAddress ? "fallback"
                                           : photo.status === RoundedImage.Ready ? "image" : "placeholder"

    width: size
    height: size
    implicitWidth: size
    implicitHeight: size

    Component.onCompleted: {
        if (user !== undefined && user !== null) {
            urlString = AvatarRules.avatarUrlOf(user)
            isOnline = AvatarRules.isOnlineOf(user)
        }
    }

    RoundedImage {
        id: photo
        objectName: "avatarImage"
        anchors.fill: parent
        z: 1
        source: root.hasUsableAddress ? root.urlString : ""
        visible: status === RoundedImage.Ready
    }

    IconImage {
        objectName: "avatarPlaceholder"
        anchors.fill: parent
        z: 1
        visible: root.pictureState === "placeholder"
        source: Theme.icon("person.crop.circle.fill")
        sourceSize: Qt.size(root.size * 2, root.size * 2)
        color: Theme.gray
        opacity: 0.4
    }

    IconImage {
        objectName: "avatarFallback"
        anchors.fill: parent
        z: 1
        visible: root.pictureState === "fallback"
        source: Theme.icon("person.crop.circle.fill")
        sourceSize: Qt.size(root.size * 2, root.size * 2)
        color: Theme.blue
        opacity: 0.6
    }

    // The dot's ring is centred on its outline, half inside and half outside, and the dot
    // overhangs the corner by 2 without changing the layout.
    Item {
        id: dot
        objectName: "onlineDot"
        visible: root.isOnline
        z: 10
        width: AvatarRules.onlineDotDiameter(root.size)
        height: width
        x: root.width - width + 2
        y: root.height - height + 2

        Rectangle {
            anchors.centerIn: parent
            width: dot.width + 3
            height: width
            radius: width / 2
            color: Theme.systemBackground
        }
        Rectangle {
            anchors.centerIn: parent
            width: dot.width - 3
            height: width
            radius: width / 2
            color: Theme.green
        }
    }
}
