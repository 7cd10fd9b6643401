import QtQuick
import Vorlane

// The screen shown while nobody is signed in: sign-in and registration in one form. It keeps
// what is typed and hands it to the session model, whose error text and busy flag it shows.
// Its first frame is made of plain Qt Quick items only: the control and layout libraries cost
// more to load than the rest of the start-up, so the parts that need them come by address.
Rectangle {
    id: root

    // The session model; when none is given the screen makes its own.
    property AuthViewModel authViewModel: null

    property bool isRegisterMode: false
    property string username: ""
    // One value behind two fields: the sign-in login and the registration e-mail.
    property string email: ""
    property string password: ""
    property string firstName: ""
    // No field edits it; registration always passes it empty.
    property string lastName: ""

    readonly property AuthViewModel viewModel: authViewModel

    color: Theme.systemBackground

    Component {
        id: ownModel
        AuthViewModel {}
    }

    Component.onCompleted: {
        if (authViewModel === null)
            authViewModel = ownModel.createObject(root)
    }

    function submit() {
        if (isRegisterMode)
            viewModel.startRegistration(username, email, password, firstName, lastName)
        else
            viewModel.startLogin(email, password)
    }

    function toggleMode() {
        isRegisterMode = !isRegisterMode
        viewModel.clearErrorMessage()
        modeSwitch.restart()
    }

    // The changed texts and fields fade in, as the platform's default animation does.
    ParallelAnimation {
        id: modeSwitch
        NumberAnimation { target: subtitle; property: "opacity"; from: 0; to: 1; duration: 250 }
        NumberAnimation { target: form; property: "opacity"; from: 0; to: 1; duration: 250 }
        NumberAnimation { target: submitText; property: "opacity"; from: 0; to: 1; duration: 250 }
    }

    // Centred between 20-point margins at the top and bottom. Sizes and places are whole pixels,
    // half a pixel rounding up, so that every text lands where the layouts used to put it.
    Column {
        id: content
        width: root.width
        y: 20 + Math.round((root.height - 40 - height) / 2)
        spacing: 24

        Column {
            width: parent.width
            spacing: 12

            Image {
                id: logo
                objectName: "logoImage"
                width: parent.width
                height: status === Image.Ready && implicitWidth > 0
                        ? Math.min(90, width * implicitHeight / implicitWidth) : 90
                visible: SiteAddress.logoUrl.toString() !== ""
                source: SiteAddress.logoUrl
                asynchronous: true
                fillMode: Image.PreserveAspectFit
            }

            Text {
                id: subtitle
                objectName: "subtitleText"
                x: Math.round((parent.width - width) / 2)
                width: Math.ceil(implicitWidth)
                text: root.isRegisterMode ? qsTr("Регистрация нового аккаунта") : qsTr("Войдите в свой профиль")
                font.pixelSize: Theme.subheadline
                font.weight: Font.Medium
                color: Theme.secondaryLabel
            }
        }

        // Read the first time a message shows, like the other parts of the screen that start hidden.
        Loader {
            id: banner
            objectName: "errorBanner"
            x: Math.round((parent.width - width) / 2)
            width: Math.min(implicitWidth, root.width - 2 * 24)
            visible: root.viewModel !== null && root.viewModel.hasErrorMessage
            active: visible || item !== null
            source: "AuthErrorBanner.qml"
        }
        Binding {
            target: banner.item
            property: "message"
            value: root.viewModel !== null ? root.viewModel.errorMessage : ""
        }
        Binding {
            target: banner.item
            property: "maximumTextWidth"
            value: root.width - 2 * 24 - 2 * Theme.padding - 16 - Theme.spacing
        }

        Column {
            id: form
            x: 24
            width: parent.width - 2 * 24
            spacing: 14

            // The registration fields, made the first time registration is chosen.
            Loader {
                width: parent.width
                visible: root.isRegisterMode
                active: visible || item !== null

                sourceComponent: Column {
                    spacing: 14

                    AuthField {
                        objectName: "firstNameField"
                        width: parent.width
                        placeholderText: qsTr("Имя (например: Мария)")
                        text: root.firstName
                        onTextEdited: root.firstName = text
                    }
                    AuthField {
                        objectName: "usernameField"
                        width: parent.width
                        placeholderText: qsTr("Логин (например: maria_k)")
                        inputMethodHints: Qt.ImhNoAutoUppercase
                        text: root.username
                        onTextEdited: root.username = text
                    }
                    AuthField {
                        objectName: "emailField"
                        width: parent.width
                        placeholderText: qsTr("Email (необязательно)")
                        inputMethodHints: Qt.ImhNoAutoUppercase
                        text: root.email
                        onTextEdited: root.email = text
                    }
                }
            }
            AuthField {
                objectName: "loginField"
                width: parent.width
                visible: !root.isRegisterMode
                placeholderText: qsTr("Логин или Email")
                inputMethodHints: Qt.ImhNoAutoUppercase
                text: root.email
                onTextEdited: root.email = text
            }
            AuthField {
                objectName: "passwordField"
                width: parent.width
                placeholderText: qsTr("Пароль")
                echoMode: TextInput.Password
                text: root.password
                onTextEdited: root.password = text
            }
        }

        // A button: a press takes the focus, a release on it submits, and so does the space bar
        // while it holds the focus.
        Rectangle {
            id: submitButton
            objectName: "submitButton"

            property bool spaceDown: false

            x: 24
            width: parent.width - 2 * 24
            height: submitText.implicitHeight + 2 * Theme.padding
            radius: 12
            color: Theme.blue
            enabled: root.viewModel !== null && !root.viewModel.isLoading
            activeFocusOnTab: true
            onActiveFocusChanged: spaceDown = false
            Keys.onPressed: event => {
                if (event.key === Qt.Key_Space && !event.isAutoRepeat) {
                    spaceDown = true
                    event.accepted = true
                }
            }
            Keys.onReleased: event => {
                if (event.key === Qt.Key_Space && !event.isAutoRepeat && spaceDown) {
                    spaceDown = false
                    event.accepted = true
                    root.submit()
                }
            }

            // The content area inside the button's padding, two points wider at the sides.
            Item {
                x: Theme.padding + 2
                y: Theme.padding
                width: parent.width - 2 * (Theme.padding + 2)
                height: parent.height - 2 * Theme.padding

                Text {
                    id: submitText
                    objectName: "submitText"
                    anchors.centerIn: parent
                    visible: !(root.viewModel !== null && root.viewModel.isLoading)
                    text: root.isRegisterMode ? qsTr("Зарегистрироваться") : qsTr("Войти")
                    font.pixelSize: Theme.callout
                    font.bold: true
                    color: "white"
                }
                Loader {
                    objectName: "submitSpinner"
                    anchors.centerIn: parent
                    visible: root.viewModel !== null && root.viewModel.isLoading
                    active: visible
                    sourceComponent: ActivityIndicator {
                        color: "white"
                    }
                }
            }

            MouseArea {
                anchors.fill: parent
                onPressed: submitButton.forceActiveFocus(Qt.MouseFocusReason)
                onClicked: root.submit()
            }
        }

        // The switch between the two modes, dimmed while pressed.
        Text {
            id: modeToggle
            objectName: "modeToggle"

            property bool spaceDown: false

            x: Math.round((parent.width - width) / 2)
            width: Math.ceil(implicitWidth)
            text: root.isRegisterMode ? qsTr("Уже есть аккаунт? Войти") : qsTr("Нет аккаунта? Зарегистрироваться")
            font.pixelSize: 14
            font.weight: Font.DemiBold
            color: Theme.blue
            opacity: toggleArea.containsPress || spaceDown ? 0.4 : 1
            activeFocusOnTab: true
            onActiveFocusChanged: spaceDown = false
            Keys.onPressed: event => {
                if (event.key === Qt.Key_Space && !event.isAutoRepeat) {
                    spaceDown = true
                    event.accepted = true
                }
            }
            Keys.onReleased: event => {
                if (event.key === Qt.Key_Space && !event.isAutoRepeat && spaceDown) {
                    spaceDown = false
                    event.accepted = true
                    root.toggleMode()
                }
            }

            MouseArea {
                id: toggleArea
                anchors.fill: parent
                onPressed: modeToggle.forceActiveFocus(Qt.MouseFocusReason)
                onClicked: root.toggleMode()
            }
        }
    }
}
