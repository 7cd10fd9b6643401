#include "Comment.h"

#include "JsonFields.h"

namespace {

enum Field { Id, PostId, Author, Text, LikesCount, IsLiked, CreatedAtFormatted, FieldCount };

constexpr JsonKeys<FieldCount> keys = {
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
    JsonFields<qint64, qint64, User, QString, qint64, bool, QString> fields(value, path, keys);
    return Comment{
        .id = fields.required<Id>(),
        .postId = fields.valueOr<PostId>(0),
        .author = fields.required<Author>(),
        .text = fields.valueOr<Text>(QString()),
        .likesCount = fields.valueOr<LikesCount>(0),
        .isLiked = fields.valueOr<IsLiked>(false),
        .createdAtFormatted = fields.valueOr<CreatedAtFormatted>(QStringLiteral("Только что")),
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
