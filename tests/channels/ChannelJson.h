#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// Channels in the service's wire form, for scripted replies.
namespace ChannelJson {

struct Spec
{
    qint64 id = 0;
    std::optional<qint64> owner = {};
    QString name = {};
    bool subscribed = false;
    qint64 count = 0;
    QString description = {};
    QString category = QStringLiteral("Паблик");
    // Absent, or the channel's posts.
    std::optional<QJsonArray> posts = {};
};

inline QJsonObject object(const Spec &spec)
{
    QJsonObject channel{{QStringLiteral("id"), spec.id},
                        {QStringLiteral("name"), spec.name},
                        {QStringLiteral("description"), spec.description},
                        {QStringLiteral("subscribers_count"), spec.count},
                        {QStringLiteral("is_subscribed"), spec.subscribed},
                        {QStringLiteral("is_verified"), false},
                        {QStringLiteral("category"), spec.category}};
    if (spec.owner)
        channel.insert(QStringLiteral("user_id"), *spec.owner);
    if (spec.posts)
        channel.insert(QStringLiteral("posts"), *spec.posts);
    return channel;
}

inline QByteArray one(const Spec &spec)
{
    return QJsonDocument(object(spec)).toJson(QJsonDocument::Compact);
}

inline QByteArray list(const QList<Spec> &specs)
{
    QJsonArray array;
    for (const Spec &spec : specs)
        array.append(object(spec));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

inline QJsonObject post(qint64 id, qint64 channelId, const QString &text)
{
    return QJsonObject{
        {QStringLiteral("id"), id},          {QStringLiteral("channel_id"), channelId},
        {QStringLiteral("text"), text},      {QStringLiteral("likes_count"), 0},
        {QStringLiteral("views_count"), 12}, {QStringLiteral("created_at_formatted"), QStringLiteral("1 час назад")}};
}

} // namespace ChannelJson
