import QtQuick
import Vorlane

// The composition root of the screens: the sign-in screen while nobody is signed in, the five
// tabs once the session holds a user. The feed model belongs here, not to either branch, so it
// starts loading at launch and survives the switch to the tabs.
Item {
    id: root

    required property AuthViewModel authViewModel
    readonly property FeedViewModel feedViewModel: feedModel
    property int selectedTab: 0

    FeedViewModel {
        id: feedModel
    }

    Loader {
        id: authLoader
        objectName: "authLoader"
        anchors.fill: parent
        active: !root.authViewModel.isSignedIn
        sourceComponent: AuthView {
            authViewModel: root.authViewModel
        }
    }

    Loader {
        id: tabsLoader
        objectName: "tabsLoader"
        anchors.fill: parent
        active: root.authViewModel.isSignedIn
        // By address, not as an inline component: the tab screens are read when first shown.
        Component.onCompleted: setSource("TabScreen.qml", { mainTabView: root })
    }
}
