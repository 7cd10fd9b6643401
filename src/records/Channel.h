#pragma once

#include "ChannelPost.h"
#include "JsonCoding.h"

#include <QList>
#include <QString>

#include <optional>

// A public channel. The constructor gives an owner id of 1 and an empty, present post list; a
// decoded channel without "user_id" or "posts" has them absent instead.
struct Channel
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(std::optional<qint64> userId MEMBER userId)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString description MEMBER description)
    Q_PROPERTY(std::optional<QString> avatarUrl MEMBER avatarUrl)
    Q_PROPERTY(std::optional<QString> coverUrl MEMBER coverUrl)
    Q_PROPERTY(qint64 subscribersCount MEMBER subscribersCount)
    Q_PROPERTY(bool isSubscribed MEMBER isSubscribed)
    Q_PROPERTY(bool isVerified MEMBER isVerified)
    Q_PROPERTY(QString category MEMBER category)
    Q_PROPERTY(std::optional<QList<ChannelPost>> posts MEMBER posts)

public:
    qint64 id = 0;
    std::optional<qint64> userId = 1;
    QString name = {};
    QString description = {};
    std::optional<QString> avatarUrl = {};
    std::optional<QString> coverUrl = {};
    qint64 subscribersCount = 0;
    bool isSubscribed = false;
    bool isVerified = false;
    QString category = QStringLiteral("Паблик");
    std::optional<QList<ChannelPost>> posts = QList<ChannelPost>();

    static Channel fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const Channel &, const Channel &) = default;
};

size_t qHash(const Channel &channel, size_t seed = 0);

template <> struct JsonCoding<Channel> : JsonCodingEntry<Channel>
{
    static Channel decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const Channel &channel);
};
