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

constexpr JsonFields<FieldCount>::Keys keys = {
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
    const JsonFields<FieldCount> fields(value, path, keys);
    return Channel{
        .id = fields.required<qint64>(Id),
        .userId = fields.optional<qint64>(UserId),
        .name = fields.required<QString>(Name),
        .description = fields.required<QString>(Description),
        .avatarUrl = fields.optional<QString>(AvatarUrl),
        .coverUrl = fields.optional<QString>(CoverUrl),
        .subscribersCount = fields.required<qint64>(SubscribersCount),
        .isSubscribed = fields.required<bool>(IsSubscribed),
        .isVerified = fields.required<bool>(IsVerified),
        .category = fields.required<QString>(Category),
        .posts = fields.optional<QList<ChannelPost>>(Posts),
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
