// One post or comment as a write's reply carries it, in the same form as the feed's rows: counts
// over everybody, the viewer's own flags false.
#include "FeedRecords.h"

#include "Database.h"
#include "OptionalMember.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserStore.h"

namespace {
const char *const PostColumns = "SELECT p.id, p.author_id, p.text, "
                                "(SELECT COUNT(*) FROM post_likes WHERE post_id = p.id), "
                                "(SELECT COUNT(*) FROM reposts WHERE post_id = p.id), "
                                "(SELECT COUNT(*) FROM comments WHERE post_id = p.id), "
                                "p.views_count, p.created_at, c.name, c.avatar_url "
                                "FROM posts p LEFT JOIN channels c ON c.id = p.channel_id ";

QJsonArray attachments(ServiceContext &context, qint64 postId)
{
    Statement query(context.db, "SELECT id, kind, url, title, subtitle, thumbnail_url FROM post_attachments "
                                "WHERE post_id = ?1 ORDER BY id");
    query.bind(1, postId);
    QJsonArray list;
    while (query.next()) {
        QJsonObject attachment{
            {QStringLiteral("id"), QStringLiteral("att_%1").arg(query.integer(0))},
            {QStringLiteral("type"), query.text(1)},
            {QStringLiteral("url"), context.absolute(query.text(2))},
        };
        insertOptional(attachment, "title", query.optionalText(3));
        insertOptional(attachment, "subtitle", query.optionalText(4));
        insertOptional(attachment, "thumbnail_url", context.absolute(query.optionalText(5)));
        list.append(attachment);
    }
    return list;
}

// The post of the query's current row (PostColumns); nothing when its author is gone.
std::optional<QJsonObject> postAt(ServiceContext &context, const Statement &query, const UserStore &users, qint64 now)
{
    const std::optional<QJsonObject> author = users.json(query.integer(1));
    if (!author)
        return std::nullopt;
    QJsonObject post{
        {QStringLiteral("id"), query.integer(0)},
        {QStringLiteral("author"), *author},
        {QStringLiteral("text"), query.text(2)},
        {QStringLiteral("attachments"), attachments(context, query.integer(0))},
        {QStringLiteral("likes_count"), query.integer(3)},
        {QStringLiteral("is_liked"), false},
        {QStringLiteral("reposts_count"), query.integer(4)},
        {QStringLiteral("is_reposted"), false},
        {QStringLiteral("comments_count"), query.integer(5)},
        {QStringLiteral("views_count"), query.integer(6)},
        {QStringLiteral("created_at_formatted"), TimeText::ago(query.integer(7), now)},
    };
    insertOptional(post, "channel_name", query.optionalText(8));
    insertOptional(post, "channel_avatar_url", context.absolute(query.optionalText(9)));
    return post;
}

std::optional<QJsonObject> commentAt(ServiceContext &context, const Statement &query, qint64 now)
{
    const std::optional<QJsonObject> author = UserStore(context).json(query.integer(2));
    if (!author)
        return std::nullopt;
    return QJsonObject{
        {QStringLiteral("id"), query.integer(0)},
        {QStringLiteral("post_id"), query.integer(1)},
        {QStringLiteral("author"), *author},
        {QStringLiteral("text"), query.text(3)},
        {QStringLiteral("likes_count"), 0},
        {QStringLiteral("is_liked"), false},
        {QStringLiteral("created_at_formatted"), TimeText::ago(query.integer(4), now)},
    };
}
} // namespace

std::optional<QJsonObject> FeedRecords::post(ServiceContext &context, qint64 postId)
{
    Statement query(context.db, (QByteArray(PostColumns) + "WHERE p.id = ?1").constData());
    query.bind(1, postId);
    if (!query.next())
        return std::nullopt;
    return postAt(context, query, UserStore(context), TimeText::now());
}

bool FeedRecords::postExists(ServiceContext &context, qint64 postId)
{
    Statement query(context.db, "SELECT 1 FROM posts WHERE id = ?1");
    query.bind(1, postId);
    return query.next();
}

QJsonArray FeedRecords::comments(ServiceContext &context, qint64 postId)
{
    Statement query(context.db, "SELECT id, post_id, author_id, text, created_at FROM comments WHERE post_id = ?1 "
                                "ORDER BY created_at, id");
    query.bind(1, postId);
    const qint64 now = TimeText::now();
    QJsonArray list;
    while (query.next()) {
        if (const std::optional<QJsonObject> comment = commentAt(context, query, now))
            list.append(*comment);
    }
    return list;
}

std::optional<QJsonObject> FeedRecords::comment(ServiceContext &context, qint64 commentId)
{
    Statement query(context.db, "SELECT id, post_id, author_id, text, created_at FROM comments WHERE id = ?1");
    query.bind(1, commentId);
    if (!query.next())
        return std::nullopt;
    return commentAt(context, query, TimeText::now());
}
