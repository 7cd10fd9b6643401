#include "ChannelPost.h"

#include "JsonFields.h"
#include "RecordHash.h"

namespace {

enum Field { Id, ChannelId, Text, ImageUrl, LikesCount, ViewsCount, CreatedAtFormatted, FieldCount };

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),
    QLatin1StringView("channel_id"),
    QLatin1StringView("text"),
    QLatin1StringView("image_url"),
    QLatin1StringView("likes_count"),
    QLatin1StringView("views_count"),
    QLatin1StringView("created_at_formatted"),
};

} // namespace

ChannelPost ChannelPost::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<ChannelPost>::decode(value, path);
}

QByteArray ChannelPost::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const ChannelPost &post, size_t seed)
{
    seed = qHashMulti(seed, post.id, post.channelId, post.text);
    seed = qHashOptional(post.imageUrl, seed);
    return qHashMulti(seed, post.likesCount, post.viewsCount, post.createdAtFormatted);
}

ChannelPost JsonCoding<ChannelPost>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, qint64, QString, QString, qint64, qint64, QString> fields(value, path, keys);
    return ChannelPost{
        .id = fields.required<Id>(),
        .channelId = fields.required<ChannelId>(),
        .text = fields.required<Text>(),
        .imageUrl = fields.optional<ImageUrl>(),
        .likesCount = fields.required<LikesCount>(),
        .viewsCount = fields.required<ViewsCount>(),
        .createdAtFormatted = fields.required<CreatedAtFormatted>(),
    };
}

void JsonCoding<ChannelPost>::encode(JsonWriter &writer, const ChannelPost &post)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], post.id);
    JsonWrite::field(writer, keys[ChannelId], post.channelId);
    JsonWrite::field(writer, keys[Text], post.text);
    JsonWrite::field(writer, keys[ImageUrl], post.imageUrl);
    JsonWrite::field(writer, keys[LikesCount], post.likesCount);
    JsonWrite::field(writer, keys[ViewsCount], post.viewsCount);
    JsonWrite::field(writer, keys[CreatedAtFormatted], post.createdAtFormatted);
    writer.endObject();
}
