// "feed.php": the feed, newest first, as a bare list of posts (built by FeedList), and a post's
// comments, oldest first ("action=comments&post_id=N"); its writes are in FeedWrites. Likes and
// reposts are counted over everybody; the service does not know who asks, so the viewer's own
// flags are false.
#include "Database.h"
#include "FeedList.h"
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

void Routes::addFeed(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/feed\\.php", [&context](const httplib::Request &req, httplib::Response &res) {
        const std::optional<QString> action = QueryParams::value(req, QStringLiteral("action"));
        if (!action)
            return Reply::shared(req, res, FeedList::json(context));
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
    server.Post("/api/feed\\.php", [&context](const httplib::Request &req, httplib::Response &res,
                                              const httplib::ContentReader &reader) {
        if (const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader, FeedWrites::BodyCap))
            FeedWrites::handle(*body, res, context);
    });
}
