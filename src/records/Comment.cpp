#include "Comment.h"

#include "JsonFields.h"

namespace {

enum Field { Id, PostId, Author, Text, LikesCount, IsLiked, CreatedAtFormatted, FieldCount };

constexpr JsonFields<FieldCount>::Keys keys = {
    QLatin1StringView("id"),
    QLatin1StringView("post_id"),
    QLatin1StringView("author"),
    QLatin1StringView("text"),
    QLatin1StringView("likes_count"),
    QLatin1StringView("is_liked"),
    QLatin1StringView("created_at_formatted"),
};

} // namespace

Comment Comment::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<Comment>::decode(value, path);
}

QByteArray Comment::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const Comment &comment, size_t seed)
{
    return qHashMulti(seed, comment.id, comment.postId, comment.author, comment.text, comment.likesCount,
                      comment.isLiked, comment.createdAtFormatted);
}

Comment JsonCoding<Comment>::decodeAt(JsonNode value, const JsonPath &path)
{
    const JsonFields<FieldCount> fields(value, path, keys);
    return Comment{
        .id = fields.required<qint64>(Id),
        .postId = fields.valueOr<qint64>(PostId, 0),
        .author = fields.required<User>(Author),
        .text = fields.valueOr<QString>(Text, QString()),
        .likesCount = fields.valueOr<qint64>(LikesCount, 0),
        .isLiked = fields.valueOr<bool>(IsLiked, false),
        .createdAtFormatted = fields.valueOr<QString>(CreatedAtFormatted, QStringLiteral("Только что")),
    };
}

void JsonCoding<Comment>::encode(JsonWriter &writer, const Comment &comment)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], comment.id);
    JsonWrite::field(writer, keys[PostId], comment.postId);
    JsonWrite::field(writer, keys[Author], comment.author);
    JsonWrite::field(writer, keys[Text], comment.text);
    JsonWrite::field(writer, keys[LikesCount], comment.likesCount);
    JsonWrite::field(writer, keys[IsLiked], comment.isLiked);
    JsonWrite::field(writer, keys[CreatedAtFormatted], comment.createdAtFormatted);
    writer.endObject();
}
