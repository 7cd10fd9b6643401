#include "ChannelsViewModel.h"

#include "NetworkManager.h"

#include <QPointer>
#include <exception>

ChannelsViewModel::ChannelsViewModel(QObject *parent)
    : QObject(parent),
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
    setIsLoading(true);
    (void)fetch();
}

QCoro::Task<> ChannelsViewModel::fetch()
{
    const QPointer<ChannelsViewModel> self(this);
    try {
        const QList<Channel> list =
            co_await NetworkManager::shared().request<QList<Channel>>(QStringLiteral("channels.php"));
        if (!self)
            co_return;
        m_channels.setRows(list);
        Q_EMIT channelsChanged();
    } catch (const std::exception &) {
        // A failed load keeps what is shown.
    }
    if (self)
        setIsLoading(false);
}

void ChannelsViewModel::setIsLoading(bool value)
{
    m_isLoading = value;
    Q_EMIT isLoadingChanged();
}
