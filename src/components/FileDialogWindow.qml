import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorlane

// The pickers' file dialog: a window of its own size over the application's, so that its rows,
// filter and buttons read in full whatever the main window's width. Every decision is the
// browser model's; this file lays it out. Escape or «Отмена» rejects (Escape first closes the open
// «Тип файлов» list); a double click, Enter or «Открыть» on a file accepts, on a folder enters it;
// Home, End, Page Up and Page Down move in the list. Closed, it hands the keyboard back to the
// window that opened it, and once the picker is done, to the item that had it there.
Window {
    id: dialog

    property alias nameFilters: browser.nameFilters
    property alias folder: browser.folder
    property url selectedFile
    readonly property alias browser: browser

    signal accepted()
    signal rejected()

    // Settled once accepted, rejected or dismissed: the window's closing then reports nothing more.
    property bool settled: true
    // What waits for the opening window to have the keyboard again.
    property var afterHandBack: null
    // The item that held the opening window's keyboard when the dialog opened: it has it back once
    // the picker is done, after the photo's editing step too, as with a desktop's own dialogs.
    property Item keyboardHome: null

    function open() {
        settled = false
        selectedFile = ""
        keyboardHome = KeyboardHome.of(transientParent)
        show()
        requestActivate()
        list.forceActiveFocus()
    }
    function finish(accept) {
        if (settled)
            return
        settled = true
        close()
        handBack()
        if (accept)
            accepted()
        else
            rejected()
    }
    function reject() {
        finish(false)
    }
    // Closes it without a verdict: the picker already has what it waited for.
    function dismiss() {
        settled = true
        close()
        handBack()
    }
    // Nothing else gives the opening window the keyboard back once this one has gone: without it
    // Escape, Enter and typing would reach nothing until a click.
    function handBack() {
        if (transientParent && transientParent.visible)
            transientParent.requestActivate()
    }
    // Runs `done` once the opening window has the keyboard again (at once when it has it already,
    // or shows nowhere), its focus back where it was when the dialog opened: a sheet closed before
    // that could not hand its focus on to the one below.
    function whenHandedBack(done) {
        if (!transientParent || !transientParent.visible || transientParent.active) {
            afterHandBack = null
            returnKeyboard()
            done()
        } else {
            afterHandBack = done
        }
    }
    function returnKeyboard() {
        if (keyboardHome && keyboardHome.visible)
            keyboardHome.forceActiveFocus()
        keyboardHome = null
    }

    Connections {
        target: dialog.transientParent
        function onActiveChanged() {
            if (!dialog.transientParent.active || !dialog.afterHandBack)
                return
            const done = dialog.afterHandBack
            dialog.afterHandBack = null
            dialog.returnKeyboard()
            done()
        }
    }

    width: 560
    height: 460
    minimumWidth: 400
    minimumHeight: 320
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    color: Theme.systemBackground

    // The window's own close button rejects as «Отмена» does.
    onClosing: dialog.finish(false)

    Shortcut {
        sequence: "Escape"
        // An open «Тип файлов» list blocks it: the list's own box takes that Escape.
        onActivated: dialog.reject()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            Button {
                objectName: "fileDialogUpButton"
                text: qsTr("Вверх")
                enabled: browser.canGoUp
                focusPolicy: Qt.NoFocus
                onClicked: browser.goUp()
            }
            Label {
                objectName: "fileDialogFolder"
                Layout.fillWidth: true
                text: browser.folderName
                textFormat: Text.PlainText
                elide: Text.ElideMiddle
                font.pixelSize: Theme.subheadline
                color: Theme.secondaryLabel
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: Theme.secondarySystemBackground
            radius: 8
            clip: true

            ListView {
                id: list
                objectName: "fileDialogList"
                readonly property int rowHeight: 36
                anchors.fill: parent
                anchors.margins: 4
                model: browser
                currentIndex: browser.currentRow
                onCurrentIndexChanged: browser.currentRow = currentIndex
                highlightMoveDuration: 0
                // Rows are made only as they come into sight, and at once: rows made ahead of
                // time are made asynchronously, and a folder left, or the dialog closed, while
                // one is on its way had the view cancel a row that no longer exists.
                cacheBuffer: 0
                keyNavigationEnabled: true
                focus: true
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
                Keys.onReturnPressed: browser.accept()
                Keys.onEnterPressed: browser.accept()
                Keys.onPressed: event => {
                    if (event.key === Qt.Key_Backspace) {
                        browser.goUp()
                        event.accepted = true
                    } else {
                        event.accepted = browser.moveCurrentRow(event.key, Math.floor(height / list.rowHeight))
                    }
                }
                highlight: Rectangle { color: Qt.rgba(0, 0.48, 1, 0.18); radius: 6 }

                delegate: ItemDelegate {
                    id: row
                    required property int index
                    required property string name
                    required property bool isFolder
                    required property string sizeText
                    required property string dateText
                    objectName: "fileRow_" + name
                    width: ListView.view.width - 12
                    height: list.rowHeight
                    focusPolicy: Qt.NoFocus
                    background: null
                    onClicked: browser.currentRow = index
                    onDoubleClicked: browser.activate(index)
                    contentItem: RowLayout {
                        spacing: 12
                        Label {
                            Layout.fillWidth: true
                            text: (row.isFolder ? "📁 " : "") + row.name
                            textFormat: Text.PlainText
                            elide: Text.ElideRight
                            font.pixelSize: Theme.body
                            color: Theme.label
                        }
                        Label {
                            Layout.preferredWidth: 72
                            horizontalAlignment: Text.AlignRight
                            text: row.sizeText
                            font.pixelSize: Theme.footnote
                            color: Theme.secondaryLabel
                        }
                        Label {
                            Layout.preferredWidth: 118
                            horizontalAlignment: Text.AlignRight
                            text: row.dateText
                            font.pixelSize: Theme.footnote
                            color: Theme.secondaryLabel
                        }
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            Label {
                text: qsTr("Тип файлов:")
                font.pixelSize: Theme.subheadline
                visible: filterBox.visible
            }
            ComboBox {
                id: filterBox
                objectName: "fileDialogFilter"
                Layout.fillWidth: true
                visible: browser.nameFilters.length > 0
                // Opened, its list takes the keys (arrows, Enter, Escape) until it closes; then the
                // file list has them again.
                focusPolicy: Qt.ClickFocus
                model: browser.nameFilters
                currentIndex: browser.selectedFilter
                onActivated: index => browser.selectedFilter = index
                Connections {
                    target: filterBox.popup
                    function onClosed() {
                        list.forceActiveFocus()
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 8
            Item { Layout.fillWidth: true }
            Button {
                objectName: "fileDialogCancelButton"
                text: qsTr("Отмена")
                focusPolicy: Qt.NoFocus
                onClicked: dialog.reject()
            }
            Button {
                objectName: "fileDialogOpenButton"
                text: qsTr("Открыть")
                highlighted: true
                focusPolicy: Qt.NoFocus
                enabled: browser.currentRow >= 0
                onClicked: browser.accept()
            }
        }
    }

    // Declared last, so that it is destroyed last: the list must never outlive its rows.
    FileBrowserModel {
        id: browser
        onFileChosen: file => {
            dialog.selectedFile = file
            dialog.finish(true)
        }
    }
}
