#include "Post.h"

#include "JsonFields.h"
#include "RecordHash.h"

namespace {

enum Field {
    Id,
    Author,
    Text,
    Attachments,
    LikesCount,
    IsLiked,
    RepostsCount,
    IsReposted,
    CommentsCount,
    ViewsCount,
    CreatedAtFormatted,
    ChannelName,
    ChannelAvatarUrl,
    FieldCount
};

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),
    QLatin1StringView("author"),
    QLatin1StringView("text"),
    QLatin1StringView("attachments"),
    QLatin1StringView("likes_count"),
    QLatin1StringView("is_liked"),
    QLatin1StringView("reposts_count"),
    QLatin1StringView("is_reposted"),
    QLatin1StringView("comments_count"),
    QLatin1StringView("views_count"),
    QLatin1StringView("created_at_formatted"),
    QLatin1StringView("channel_name"),
    QLatin1StringView("channel_avatar_url"),
};

} // namespace

Post Post::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<Post>::decode(value, path);
}

QByteArray Post::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const Post &post, size_t seed)
{
    seed = qHashMulti(seed, post.id, post.author, post.text, post.attachments, post.likesCount, post.isLiked,
                      post.repostsCount, post.isReposted, post.commentsCount, post.viewsCount, post.createdAtFormatted);
    seed = qHashOptional(post.channelName, seed);
    return qHashOptional(post.channelAvatarUrl, seed);
}

Post JsonCoding<Post>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, SharedUser, QString, QList<PostAttachment>, qint64, bool, qint64, bool, qint64, qint64, QString,
               QString, QString>
        fields(value, path, keys);
    return Post{
        .id = fields.required<Id>(),
        .author = fields.required<Author>(),
        .text = fields.required<Text>(),
        .attachments = fields.required<Attachments>(),
        .likesCount = fields.required<LikesCount>(),
        .isLiked = fields.required<IsLiked>(),
        .repostsCount = fields.required<RepostsCount>(),
        .isReposted = fields.required<IsReposted>(),
        .commentsCount = fields.required<CommentsCount>(),
        .viewsCount = fields.required<ViewsCount>(),
        .createdAtFormatted = fields.required<CreatedAtFormatted>(),
        .channelName = fields.optional<ChannelName>(),
        .channelAvatarUrl = fields.optional<ChannelAvatarUrl>(),
    };
}

void JsonCoding<Post>::encode(JsonWriter &writer, const Post &post)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], post.id);
    JsonWrite::field(writer, keys[Author], post.author);
    JsonWrite::field(writer, keys[Text], post.text);
    JsonWrite::field(writer, keys[Attachments], post.attachments);
    JsonWrite::field(writer, keys[LikesCount], post.likesCount);
    JsonWrite::field(writer, keys[IsLiked], post.isLiked);
    JsonWrite::field(writer, keys[RepostsCount], post.repostsCount);
    JsonWrite::field(writer, keys[IsReposted], post.isReposted);
    JsonWrite::field(writer, keys[CommentsCount], post.commentsCount);
    JsonWrite::field(writer, keys[ViewsCount], post.viewsCount);
    JsonWrite::field(writer, keys[CreatedAtFormatted], post.createdAtFormatted);
    JsonWrite::field(writer, keys[ChannelName], post.channelName);
    JsonWrite::field(writer, keys[ChannelAvatarUrl], post.channelAvatarUrl);
    writer.endObject();
}
