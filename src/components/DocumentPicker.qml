import QtQuick
import Vorlane

// Picks one file of the given content types; the caller receives the address of a copy.
// Shown as the content of a sheet; it asks to be closed when done.
Item {
    id: root

    // Uniform type identifiers; audio, MP3 and WAV unless the caller names others. Read once, when
    // the picker opens: what the caller changes while it shows does not reach it.
    property var allowedContentTypes: pickerModel.allowedContentTypes
    readonly property alias model: pickerModel

    signal filePicked(url fileUrl)
    signal dismissRequested()

    DocumentPickerModel {
        id: pickerModel
        onFilePicked: fileUrl => root.filePicked(fileUrl)
        // A pick that reached the model some other way than through the dialog closes it too:
        // the dialog is a window of its own and would outlast the picker.
        onFinished: {
            dialog.dismiss()
            dialog.whenHandedBack(() => root.dismissRequested())
        }
    }

    FileDialogWindow {
        id: dialog
        objectName: "documentFileDialog"
        title: pickerModel.dialogTitle
        nameFilters: pickerModel.nameFilters
        onAccepted: pickerModel.pick(selectedFile)
        onRejected: pickerModel.cancel()
    }

    Component.onCompleted: {
        pickerModel.allowedContentTypes = allowedContentTypes
        dialog.open()
    }
}
