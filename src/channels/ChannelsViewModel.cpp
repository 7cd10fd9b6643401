#include "ChannelsViewModel.h"

ChannelsViewModel::ChannelsViewModel(QObject *parent)
    : LoadingModel(parent),
      m_channels({{"channelId", [](const Channel &channel) { return QVariant(QString::number(channel.id)); }},
                  {"name", [](const Channel &channel) { return QVariant(channel.name); }},
                  {"avatarUrl", [](const Channel &channel) { return optionalText(channel.avatarUrl); }},
                  {"category", [](const Channel &channel) { return QVariant(channel.category); }},
                  {"detailText",
                   [](const Channel &channel) {
                       return QVariant(channel.category + QStringLiteral(" • ") +
                                       QString::number(channel.subscribersCount) + QStringLiteral(" подписчиков"));
                   }}},
                 this)
{
    loadChannels();
}

void ChannelsViewModel::loadChannels()
{
    loadList(QStringLiteral("channels.php"), m_channels, [this] { Q_EMIT channelsChanged(); });
}

void ChannelsViewModel::setSelectedChannelDetails(const Channel &channel)
{
    m_selectedChannelDetails = channel;
    Q_EMIT selectedChannelDetailsChanged();
}

void ChannelsViewModel::fetchChannelDetails(qint64 channelId)
{
    [](QPointer<ChannelsViewModel> self, qint64 id) -> QCoro::Task<> {
        try {
            const Channel channel = co_await NetworkManager::shared().request<Channel>(
                QStringLiteral("channels.php?channel_id=%1").arg(id));
            if (self)
                self->setSelectedChannelDetails(channel);
        } catch (const std::exception &) {
        }
    }(this, channelId);
}
