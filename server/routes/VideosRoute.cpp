// "videos.php": the video catalogue, newest first, as a bare list.
#include "Database.h"
#include "Reply.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserStore.h"

#include <QJsonArray>
#include <QJsonObject>
#include <httplib.h>

namespace {
QJsonArray videos(ServiceContext &context)
{
    Statement query(context.db, "SELECT id, title, description, author_id, thumbnail_url, video_url, duration_seconds, "
                                "views_count, likes_count, created_at FROM videos ORDER BY created_at DESC, id DESC");
    const UserStore users(context);
    const qint64 now = TimeText::now();
    QJsonArray list;
    while (query.next()) {
        const std::optional<QJsonObject> author = users.json(query.integer(3));
        if (!author)
            continue;
        list.append(QJsonObject{
            {QStringLiteral("id"), query.integer(0)},
            {QStringLiteral("title"), query.text(1)},
            {QStringLiteral("description"), query.text(2)},
            {QStringLiteral("author"), *author},
            {QStringLiteral("thumbnail_url"), context.absolute(query.text(4))},
            {QStringLiteral("video_url"), context.absolute(query.text(5))},
            {QStringLiteral("duration_seconds"), query.integer(6)},
            {QStringLiteral("views_count"), query.integer(7)},
            {QStringLiteral("likes_count"), query.integer(8)},
            {QStringLiteral("is_liked"), false},
            {QStringLiteral("created_at_formatted"), TimeText::ago(query.integer(9), now)},
        });
    }
    return list;
}
}

void Routes::addVideos(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/videos\\.php", [&context](const httplib::Request &, httplib::Response &res) {
        std::lock_guard lock(context.db.mutex());
        Reply::value(res, videos(context));
    });
}
