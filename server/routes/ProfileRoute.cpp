// "profile.php?user_id=N": one user record, bare.
#include "Database.h"
#include "QueryParams.h"
#include "Reply.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "UserStore.h"

#include <httplib.h>

void Routes::addProfile(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/profile\\.php", [&context](const httplib::Request &req, httplib::Response &res) {
        const std::optional<qint64> id = QueryParams::integer(req, QStringLiteral("user_id"));
        if (!id)
            return Reply::refuse(res, QStringLiteral("Не указан пользователь"));
        std::lock_guard lock(context.db.mutex());
        const std::optional<QJsonObject> user = UserStore(context).json(*id);
        if (!user)
            return Reply::refuse(res, QStringLiteral("Пользователь не найден"));
        Reply::value(res, *user);
    });
}
