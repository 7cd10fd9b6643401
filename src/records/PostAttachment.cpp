#include "PostAttachment.h"

#include "JsonFields.h"
#include "RecordHash.h"

namespace {

enum Field { Id, Type, Url, Title, Subtitle, ThumbnailUrl, FieldCount };

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),    QLatin1StringView("type"),     QLatin1StringView("url"),
    QLatin1StringView("title"), QLatin1StringView("subtitle"), QLatin1StringView("thumbnail_url"),
};

constexpr QLatin1StringView typeNames[] = {
    QLatin1StringView("image"),
    QLatin1StringView("video"),
    QLatin1StringView("audio"),
};

} // namespace

PostAttachment PostAttachment::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<PostAttachment>::decode(value, path);
}

QByteArray PostAttachment::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const PostAttachment &attachment, size_t seed)
{
    seed = qHashMulti(seed, attachment.id, static_cast<int>(attachment.type), attachment.url);
    seed = qHashOptional(attachment.title, seed);
    seed = qHashOptional(attachment.subtitle, seed);
    return qHashOptional(attachment.thumbnailUrl, seed);
}

PostAttachment::AttachmentType JsonCoding<PostAttachment::AttachmentType>::decodeAt(JsonNode value,
                                                                                    const JsonPath &path)
{
    std::string_view text;
    if (!value.takeUtf8(text))
        JsonRead::failType(value.type(), path, "строка");
    for (int i = 0; i < 3; ++i) {
        if (text == std::string_view(typeNames[i].data(), std::size_t(typeNames[i].size())))
            return static_cast<PostAttachment::AttachmentType>(i);
    }
    JsonRead::fail(DecodingError::Kind::UnknownValue, path,
                   textFromUtf8(text));
}

void JsonCoding<PostAttachment::AttachmentType>::encode(JsonWriter &writer, PostAttachment::AttachmentType type)
{
    writer.string(QString(typeNames[static_cast<int>(type)]));
}

PostAttachment JsonCoding<PostAttachment>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<QString, PostAttachment::AttachmentType, QString, QString, QString, QString> fields(value, path, keys);
    return PostAttachment{
        .id = fields.required<Id>(),
        .type = fields.required<Type>(),
        .url = fields.required<Url>(),
        .title = fields.optional<Title>(),
        .subtitle = fields.optional<Subtitle>(),
        .thumbnailUrl = fields.optional<ThumbnailUrl>(),
    };
}

void JsonCoding<PostAttachment>::encode(JsonWriter &writer, const PostAttachment &attachment)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], attachment.id);
    JsonWrite::field(writer, keys[Type], attachment.type);
    JsonWrite::field(writer, keys[Url], attachment.url);
    JsonWrite::field(writer, keys[Title], attachment.title);
    JsonWrite::field(writer, keys[Subtitle], attachment.subtitle);
    JsonWrite::field(writer, keys[ThumbnailUrl], attachment.thumbnailUrl);
    writer.endObject();
}
