import QtQuick
import Vorlane

// The sheet that founds a channel. The caller closes its sheet on closeRequested.
ChannelFormView {
    id: root

    property ChannelsViewModel viewModel
    // The signed-in user, the new channel's owner.
    property var currentUser: null

    form: CreateChannelForm {
        viewModel: root.viewModel
        currentUser: root.currentUser
    }
    title: qsTr("Создать канал")
    submitText: qsTr("Создать")
    fieldsHeader: qsTr("Основная информация")
    namePlaceholder: qsTr("Название канала / паблика")
    categoryPlaceholder: qsTr("Категория (новости, игры, музыка)")
    descriptionPlaceholder: qsTr("Описание канала")
    picturesHeader: qsTr("Оформление (с телефона)")
}
