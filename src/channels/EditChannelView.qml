import QtQuick
import Vorlane

// The sheet in which the owner changes a channel. The fields are taken from `channel` once, when
// the sheet opens. The caller closes its sheet on closeRequested.
ChannelFormView {
    id: root

    property ChannelsViewModel viewModel
    // The channel as the page shows it.
    property var channel

    form: EditChannelForm {
        viewModel: root.viewModel
        channel: root.channel
    }
    title: qsTr("Редактировать канал")
    submitText: qsTr("Сохранить")
    fieldsHeader: qsTr("Параметры канала")
    namePlaceholder: qsTr("Название канала")
    categoryPlaceholder: qsTr("Категория")
    descriptionPlaceholder: qsTr("Описание")
    picturesHeader: qsTr("Аватарка и Обложка (с телефона)")
}
