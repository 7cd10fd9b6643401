#include "Channel.h"

#include "JsonFields.h"
#include "RecordHash.h"

namespace {

enum Field {
    Id,
    UserId,
    Name,
    Description,
    AvatarUrl,
    CoverUrl,
    SubscribersCount,
    IsSubscribed,
    IsVerified,
    Category,
    Posts,
    FieldCount
};

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),
    QLatin1StringView("user_id"),
    QLatin1StringView("name"),
    QLatin1StringView("description"),
    QLatin1StringView("avatar_url"),
    QLatin1StringView("cover_url"),
    QLatin1StringView("subscribers_count"),
    QLatin1StringView("is_subscribed"),
    QLatin1StringView("is_verified"),
    QLatin1StringView("category"),
    QLatin1StringView("posts"),
};

} // namespace

Channel Channel::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<Channel>::decode(value, path);
}

QByteArray Channel::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const Channel &channel, size_t seed)
{
    seed = qHashMulti(seed, channel.id);
    seed = qHashOptional(channel.userId, seed);
    seed = qHashMulti(seed, channel.name, channel.description);
    seed = qHashOptional(channel.avatarUrl, seed);
    seed = qHashOptional(channel.coverUrl, seed);
    seed = qHashMulti(seed, channel.subscribersCount, channel.isSubscribed, channel.isVerified, channel.category);
    return qHashOptional(channel.posts, seed);
}

Channel JsonCoding<Channel>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, qint64, QString, QString, QString, QString, qint64, bool, bool, QString, QList<ChannelPost>>
        fields(value, path, keys);
    return Channel{
        .id = fields.required<Id>(),
        .userId = fields.optional<UserId>(),
        .name = fields.required<Name>(),
        .description = fields.required<Description>(),
        .avatarUrl = fields.optional<AvatarUrl>(),
        .coverUrl = fields.optional<CoverUrl>(),
        .subscribersCount = fields.required<SubscribersCount>(),
        .isSubscribed = fields.required<IsSubscribed>(),
        .isVerified = fields.required<IsVerified>(),
        .category = fields.required<Category>(),
        .posts = fields.optional<Posts>(),
    };
}

void JsonCoding<Channel>::encode(JsonWriter &writer, const Channel &channel)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], channel.id);
    JsonWrite::field(writer, keys[UserId], channel.userId);
    JsonWrite::field(writer, keys[Name], channel.name);
    JsonWrite::field(writer, keys[Description], channel.description);
    JsonWrite::field(writer, keys[AvatarUrl], channel.avatarUrl);
    JsonWrite::field(writer, keys[CoverUrl], channel.coverUrl);
    JsonWrite::field(writer, keys[SubscribersCount], channel.subscribersCount);
    JsonWrite::field(writer, keys[IsSubscribed], channel.isSubscribed);
    JsonWrite::field(writer, keys[IsVerified], channel.isVerified);
    JsonWrite::field(writer, keys[Category], channel.category);
    JsonWrite::field(writer, keys[Posts], channel.posts);
    writer.endObject();
}
