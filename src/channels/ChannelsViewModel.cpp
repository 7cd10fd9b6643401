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
