// "feed.php": the feed, newest first, as a bare list of posts.
#include "Database.h"
#include "FeedList.h"
#include "OptionalMember.h"
#include "Reply.h"
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
    server.Get("/api/feed\\.php", [&context](const httplib::Request &, httplib::Response &res) {
        Reply::json(res, FeedList::json(context));
    });
}
