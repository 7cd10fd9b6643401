#include "EditChannelForm.h"

#include "ChannelsViewModel.h"

EditChannelForm::EditChannelForm(QObject *parent) : ChannelForm(parent)
{
    connect(this, &EditChannelForm::channelChanged, this, &ChannelForm::canSubmitChanged);
}

void EditChannelForm::setChannel(const QVariant &channel)
{
    if (m_channel || channel.metaType() != QMetaType::fromType<Channel>())
        return;
    m_channel = channel.value<Channel>();
    setFields({m_channel->name, m_channel->description, m_channel->category, m_channel->avatarUrl.value_or(QString()),
               m_channel->coverUrl.value_or(QString())});
    Q_EMIT channelChanged();
}

QCoro::Task<bool> EditChannelForm::send(ChannelsViewModel *viewModel, ChannelFields fields)
{
    return viewModel->editChannel(m_channel->id, fields.name, fields.description, fields.category, fields.avatarUrl,
                                  fields.coverUrl);
}

QString EditChannelForm::avatarChosenText() const
{
    return QStringLiteral("Аватарка изменена ✓");
}

QString EditChannelForm::coverChosenText() const
{
    return QStringLiteral("Обложка изменена ✓");
}
