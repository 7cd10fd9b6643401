#include "ChannelsViewModel.h"

#include "APIResponse.h"
#include "ChannelTexts.h"
#include "NetworkManager.h"

#include <QMap>
#include <QPointer>

#include <exception>
#include <limits>

ChannelsViewModel::ChannelsViewModel(QObject *parent) : QObject(parent), m_channels(channelRoles(), this)
{
    loadChannels();
}

QList<std::pair<QByteArray, RecordListModel<Channel>::Field>> ChannelsViewModel::channelRoles()
{
    return {
        {"channel", [](const Channel &channel) { return QVariant::fromValue(channel); }},
        {"name", [](const Channel &channel) { return QVariant(channel.name); }},
        {"description", [](const Channel &channel) { return QVariant(channel.description); }},
        {"avatarUrl", [](const Channel &channel) { return optionalText(channel.avatarUrl); }},
        {"isVerified", [](const Channel &channel) { return QVariant(channel.isVerified); }},
        {"isSubscribed", [](const Channel &channel) { return QVariant(channel.isSubscribed); }},
        {"subscribeButtonText",
         [](const Channel &channel) { return QVariant(ChannelTexts::subscribeButton(channel.isSubscribed)); }},
        {"subscribersText",
         [](const Channel &channel) { return QVariant(ChannelTexts::subscribers(channel.subscribersCount)); }},
    };
}

void ChannelsViewModel::loadChannels()
{
    (void)fetchChannels();
}

void ChannelsViewModel::fetchChannelDetails(qint64 channelId)
{
    (void)fetchDetails(channelId);
}

void ChannelsViewModel::fetchChannelSubscribers(qint64 channelId)
{
    (void)fetchSubscribers(channelId);
}

void ChannelsViewModel::flipSubscription(Channel &channel)
{
    channel.isSubscribed = !channel.isSubscribed;
    if (channel.isSubscribed) {
        if (channel.subscribersCount < std::numeric_limits<qint64>::max())
            ++channel.subscribersCount;
    } else {
        // Subtracting from the smallest count would overflow; anything at or below 0 is 0.
        channel.subscribersCount = channel.subscribersCount > 0 ? channel.subscribersCount - 1 : 0;
    }
}

QJsonObject ChannelsViewModel::toggleSubscribeBody(qint64 channelId)
{
    return QJsonObject{{QStringLiteral("action"), QStringLiteral("toggle_subscribe")},
                       {QStringLiteral("channel_id"), channelId}};
}

void ChannelsViewModel::toggleSubscribe(const Channel &channel)
{
    const qint64 id = channel.id;
    if (m_channels.updateFirst([id](const Channel &entry) { return entry.id == id; }, flipSubscription))
        Q_EMIT channelsChanged();
    if (m_selectedChannelDetails && m_selectedChannelDetails->id == id) {
        flipSubscription(*m_selectedChannelDetails);
        Q_EMIT selectedChannelDetailsChanged();
    }
    (void)sendToggle(toggleSubscribeBody(id));
}

void ChannelsViewModel::toggleSubscribe(const QVariant &channel)
{
    if (channel.canConvert<Channel>())
        toggleSubscribe(channel.value<Channel>());
}

QCoro::Task<> ChannelsViewModel::sendToggle(QJsonObject body)
{
    try {
        (void)co_await NetworkManager::shared().request<APIResponse<QMap<QString, bool>>>(
            QStringLiteral("channels.php"), QStringLiteral("POST"), body);
    } catch (const std::exception &) {
        // The local flip stands until a later load brings the service's values.
    }
}

QCoro::Task<> ChannelsViewModel::fetchChannels()
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
        // A failed load keeps the list it had.
    }
}

QCoro::Task<> ChannelsViewModel::fetchDetails(qint64 channelId)
{
    const QPointer<ChannelsViewModel> self(this);
    try {
        const Channel channel = co_await NetworkManager::shared().request<Channel>(
            QStringLiteral("channels.php?channel_id=") + QString::number(channelId));
        if (!self)
            co_return;
        m_selectedChannelDetails = channel;
        Q_EMIT selectedChannelDetailsChanged();
    } catch (const std::exception &) {
        // The previous details stay.
    }
}

QCoro::Task<> ChannelsViewModel::fetchSubscribers(qint64 channelId)
{
    const QPointer<ChannelsViewModel> self(this);
    try {
        const QList<User> users = co_await NetworkManager::shared().request<QList<User>>(
            QStringLiteral("channels.php?action=subscribers&channel_id=") + QString::number(channelId));
        if (!self)
            co_return;
        m_currentChannelSubscribers = users;
        m_subscribersChannelId = channelId;
        Q_EMIT currentChannelSubscribersChanged();
    } catch (const std::exception &) {
        // The previous list stays, with the channel it belongs to.
    }
}

QVariant ChannelsViewModel::selectedChannelDetailsValue() const
{
    return m_selectedChannelDetails ? QVariant::fromValue(*m_selectedChannelDetails) : QVariant::fromValue(nullptr);
}

QVariantList ChannelsViewModel::currentChannelSubscribersValue() const
{
    QVariantList list;
    for (const User &user : m_currentChannelSubscribers)
        list.append(QVariant::fromValue(user));
    return list;
}
