// "feed.php": the feed, newest first, as a bare list of posts, and a post's comments, oldest first
// ("action=comments&post_id=N"); its writes are in FeedWrites. Likes and reposts are counted
// over everybody; the service does not know who asks, so the viewer's own flags are false.
#include "Database.h"
#include "FeedRecords.h"
#include "FeedWrites.h"
#include "OptionalMember.h"
#include "QueryParams.h"
#include "Reply.h"
#include "RequestBody.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserStore.h"

#include <QJsonArray>
#include <QJsonObject>
#include <httplib.h>

namespace {
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

QJsonArray feed(ServiceContext &context)
{
    Statement query(context.db,
                    "SELECT p.id, p.author_id, p.text, "
                    "(SELECT COUNT(*) FROM post_likes WHERE post_id = p.id), "
                    "(SELECT COUNT(*) FROM reposts WHERE post_id = p.id), "
                    "(SELECT COUNT(*) FROM comments WHERE post_id = p.id), "
                    "p.views_count, p.created_at, c.name, c.avatar_url "
                    "FROM posts p LEFT JOIN channels c ON c.id = p.channel_id "
                    "ORDER BY p.created_at DESC, p.id DESC");
    const UserStore users(context);
    const qint64 now = TimeText::now();
    QJsonArray posts;
    while (query.next()) {
        const std::optional<QJsonObject> author = users.json(query.integer(1));
        if (!author)
            continue;
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
        posts.append(post);
    }
    return posts;
}
}

void Routes::addFeed(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/feed\\.php", [&context](const httplib::Request &req, httplib::Response &res) {
        const std::optional<QString> action = QueryParams::value(req, QStringLiteral("action"));
        if (!action) {
            std::lock_guard lock(context.db.mutex());
            return Reply::value(res, feed(context));
        }
        if (*action != QLatin1String("comments"))
            return Reply::refuse(res, QStringLiteral("Неизвестное действие"));
        const std::optional<qint64> postId = QueryParams::integer(req, QStringLiteral("post_id"));
        if (!postId)
            return Reply::refuse(res, QStringLiteral("Не указана запись"));
        std::lock_guard lock(context.db.mutex());
        if (!FeedRecords::postExists(context, *postId))
            return Reply::refuse(res, QStringLiteral("Запись не найдена"));
        Reply::value(res, FeedRecords::comments(context, *postId));
    });
    server.Post("/api/feed\\.php",
                [&context](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
                    if (const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader))
                        FeedWrites::handle(*body, res, context);
                });
}
