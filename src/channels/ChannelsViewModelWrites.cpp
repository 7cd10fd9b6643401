// The channels model's writes: founding, changing and posting into a channel. Each outlives the
// form that asked for it, so the model is reached through a guard after every wait.
#include "APIResponse.h"
#include "ChannelsViewModel.h"
#include "NetworkManager.h"

#include <QJsonObject>
#include <QPointer>

#include <exception>

namespace {
const QString Endpoint = QStringLiteral("channels.php");
const QString Post = QStringLiteral("POST");
} // namespace

QCoro::Task<bool> ChannelsViewModel::createChannel(QString name, QString description, QString category,
                                                   QString avatarUrl, QString coverUrl, qint64 userId)
{
    const QPointer<ChannelsViewModel> self(this);
    const QJsonObject body{
        {QStringLiteral("action"), QStringLiteral("create")},
        {QStringLiteral("name"), name},
        {QStringLiteral("description"), description},
        {QStringLiteral("category"), category},
        {QStringLiteral("avatar_url"), avatarUrl},
        {QStringLiteral("cover_url"), coverUrl},
        {QStringLiteral("user_id"), userId},
    };
    bool created = false;
    try {
        const auto reply = co_await NetworkManager::shared().request<APIResponse<Channel>>(Endpoint, Post, body);
        if (reply.success && reply.data) {
            if (self) {
                self->m_channels.insertRow(0, *reply.data);
                Q_EMIT self->channelsChanged();
            }
            co_return true;
        }
        created = reply.success;
    } catch (const std::exception &) {
        // The service may have made the channel all the same: the reload below shows it.
    }
    if (self)
        self->loadChannels();
    co_return created;
}

QCoro::Task<bool> ChannelsViewModel::editChannel(qint64 channelId, QString name, QString description, QString category,
                                                 QString avatarUrl, QString coverUrl)
{
    const QPointer<ChannelsViewModel> self(this);
    const QJsonObject body{
        {QStringLiteral("action"), QStringLiteral("edit")},
        {QStringLiteral("channel_id"), channelId},
        {QStringLiteral("name"), name},
        {QStringLiteral("description"), description},
        {QStringLiteral("category"), category},
        {QStringLiteral("avatar_url"), avatarUrl},
        {QStringLiteral("cover_url"), coverUrl},
    };
    try {
        const auto reply = co_await NetworkManager::shared().request<APIResponse<QString>>(Endpoint, Post, body);
        if (self) {
            self->fetchChannelDetails(channelId);
            self->loadChannels();
        }
        co_return reply.success;
    } catch (const std::exception &) {
        co_return false;
    }
}

QCoro::Task<bool> ChannelsViewModel::createChannelPost(qint64 channelId, QString text, QString imageUrl)
{
    const QPointer<ChannelsViewModel> self(this);
    const QJsonObject body{
        {QStringLiteral("action"), QStringLiteral("create_post")},
        {QStringLiteral("channel_id"), channelId},
        {QStringLiteral("text"), text},
        {QStringLiteral("image_url"), imageUrl},
    };
    try {
        const auto reply = co_await NetworkManager::shared().request<APIResponse<ChannelPost>>(Endpoint, Post, body);
        if (!reply.success || !reply.data)
            co_return false;
        if (self && self->m_selectedChannelDetails && self->m_selectedChannelDetails->id == channelId) {
            Channel &channel = *self->m_selectedChannelDetails;
            QList<ChannelPost> posts = channel.posts.value_or(QList<ChannelPost>());
            posts.prepend(*reply.data);
            channel.posts = posts;
            Q_EMIT self->selectedChannelDetailsChanged();
        }
        co_return true;
    } catch (const std::exception &) {
        co_return false;
    }
}
