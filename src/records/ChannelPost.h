#pragma once

#include "JsonCoding.h"

#include <QString>

#include <optional>

// A post in a channel. Strict decoding: the constructor defaults do not apply to JSON.
struct ChannelPost
{
    Q_GADGET
    Q_PROPERTY(qint64 id MEMBER id)
    Q_PROPERTY(qint64 channelId MEMBER channelId)
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(std::optional<QString> imageUrl MEMBER imageUrl)
    Q_PROPERTY(qint64 likesCount MEMBER likesCount)
    Q_PROPERTY(qint64 viewsCount MEMBER viewsCount)
    Q_PROPERTY(QString createdAtFormatted MEMBER createdAtFormatted)

public:
    qint64 id = 0;
    qint64 channelId = 0;
    QString text = {};
    std::optional<QString> imageUrl = {};
    qint64 likesCount = 0;
    qint64 viewsCount = 1;
    QString createdAtFormatted = QStringLiteral("Только что");

    static ChannelPost fromJson(const QJsonValue &value, const QString &path = {});
    QByteArray toJson() const;

    friend bool operator==(const ChannelPost &, const ChannelPost &) = default;
};

size_t qHash(const ChannelPost &post, size_t seed = 0);

template <> struct JsonCoding<ChannelPost> : JsonCodingEntry<ChannelPost>
{
    static ChannelPost decodeAt(JsonNode value, const JsonPath &path);
    static void encode(JsonWriter &writer, const ChannelPost &post);
};
