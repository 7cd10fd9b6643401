import QtQuick
import QtQuick.Controls
import QtQuick.Controls.impl
import QtQuick.Layouts
import Vorlane

// The screen shown while nobody is signed in: sign-in and registration in one form. It keeps
// what is typed and hands it to the session model, whose error text and busy flag it shows.
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

    ColumnLayout {
        anchors.fill: parent
        anchors.topMargin: 20
        anchors.bottomMargin: 20
        spacing: 24

        Item { Layout.fillHeight: true }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 12

            Image {
                id: logo
                objectName: "logoImage"
                Layout.fillWidth: true
                Layout.preferredHeight: status === Image.Ready && implicitWidth > 0
                                        ? Math.min(90, width * implicitHeight / implicitWidth) : 90
                visible: SiteAddress.logoUrl.toString() !== ""
                source: SiteAddress.logoUrl
                asynchronous: true
                fillMode: Image.PreserveAspectFit
            }

            Text {
                id: subtitle
                objectName: "subtitleText"
                Layout.alignment: Qt.AlignHCenter
                text: root.isRegisterMode ? qsTr("Регистрация нового аккаунта") : qsTr("Войдите в свой профиль")
                font.pixelSize: Theme.subheadline
                font.weight: Font.Medium
                color: Theme.secondaryLabel
            }
        }

        // Made when first shown, like the other parts of the screen that start hidden.
        Loader {
            id: banner
            objectName: "errorBanner"
            visible: root.viewModel !== null && root.viewModel.hasErrorMessage
            active: visible || item !== null
            Layout.alignment: Qt.AlignHCenter
            Layout.maximumWidth: root.width - 2 * 24

            sourceComponent: Rectangle {
                implicitWidth: bannerRow.implicitWidth + 2 * Theme.padding
                implicitHeight: bannerRow.implicitHeight + 2 * Theme.padding
                radius: 10
                color: Qt.rgba(1, 59 / 255, 48 / 255, 0.1)
                RowLayout {
                    id: bannerRow
                    anchors.fill: parent
                    anchors.margins: Theme.padding
                    spacing: Theme.spacing

                    IconImage {
                        objectName: "errorIcon"
                        Layout.alignment: Qt.AlignVCenter
                        source: Theme.icon("exclamationmark.triangle.fill")
                        sourceSize: Qt.size(16, 16)
                        color: Theme.red
                    }
                    Text {
                        id: errorText
                        objectName: "errorText"
                        Layout.fillWidth: true
                        Layout.maximumWidth: root.width - 2 * 24 - 2 * Theme.padding - 16 - Theme.spacing
                        visible: text !== ""
                        text: root.viewModel !== null ? root.viewModel.errorMessage : ""
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        font.pixelSize: Theme.footnote
                        font.weight: Font.DemiBold
                        color: Theme.red
                    }
                }
            }
        }

        ColumnLayout {
            id: form
            Layout.fillWidth: true
            Layout.leftMargin: 24
            Layout.rightMargin: 24
            spacing: 14

            // The registration fields, made the first time registration is chosen.
            Loader {
                Layout.fillWidth: true
                visible: root.isRegisterMode
                active: visible || item !== null

                sourceComponent: ColumnLayout {
                    spacing: 14

                    AuthField {
                        objectName: "firstNameField"
                                placeholderText: qsTr("Имя (например: Мария)")
                        text: root.firstName
                        onTextEdited: root.firstName = text
                    }
                    AuthField {
                        objectName: "usernameField"
                                placeholderText: qsTr("Логин (например: maria_k)")
                        inputMethodHints: Qt.ImhNoAutoUppercase
                        text: root.username
                        onTextEdited: root.username = text
                    }
                    AuthField {
                        objectName: "emailField"
                                placeholderText: qsTr("Email (необязательно)")
                        inputMethodHints: Qt.ImhNoAutoUppercase
                        text: root.email
                        onTextEdited: root.email = text
                    }
                }
            }
            AuthField {
                objectName: "loginField"
                visible: !root.isRegisterMode
                placeholderText: qsTr("Логин или Email")
                inputMethodHints: Qt.ImhNoAutoUppercase
                text: root.email
                onTextEdited: root.email = text
            }
            AuthField {
                objectName: "passwordField"
                placeholderText: qsTr("Пароль")
                echoMode: TextInput.Password
                text: root.password
                onTextEdited: root.password = text
            }
        }

        Button {
            id: submitButton
            objectName: "submitButton"
            Layout.fillWidth: true
            Layout.leftMargin: 24
            Layout.rightMargin: 24
            enabled: root.viewModel !== null && !root.viewModel.isLoading
            padding: Theme.padding
            onClicked: root.submit()

            background: Rectangle {
                radius: 12
                color: Theme.blue
            }
            contentItem: Item {
                implicitHeight: submitText.implicitHeight
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
        }

        AbstractButton {
            objectName: "modeToggle"
            Layout.alignment: Qt.AlignHCenter
            onClicked: root.toggleMode()
            contentItem: Text {
                text: root.isRegisterMode ? qsTr("Уже есть аккаунт? Войти") : qsTr("Нет аккаунта? Зарегистрироваться")
                font.pixelSize: 14
                font.weight: Font.DemiBold
                color: Theme.blue
                opacity: parent.pressed ? 0.4 : 1
            }
        }

        Item { Layout.fillHeight: true }
    }
}
