// "channels.php": the channel catalogue as a bare list. The catalogue leaves the posts out;
// one channel asked for by "channel_id" comes with its posts, newest first.
#include "ChannelWrites.h"
#include "Database.h"
#include "OptionalMember.h"
#include "QueryParams.h"
#include "Reply.h"
#include "RequestBody.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"

#include <QJsonArray>
#include <QJsonObject>
#include <httplib.h>

namespace {
const char *const ChannelColumns =
    "SELECT id, user_id, name, description, avatar_url, cover_url, "
    "(SELECT COUNT(*) FROM channel_subscriptions WHERE channel_id = channels.id), is_verified, category "
    "FROM channels ";

QJsonObject channel(ServiceContext &context, const Statement &row)
{
    QJsonObject object{
        {QStringLiteral("id"), row.integer(0)},
        {QStringLiteral("name"), row.text(2)},
        {QStringLiteral("description"), row.text(3)},
        {QStringLiteral("subscribers_count"), row.integer(6)},
        {QStringLiteral("is_subscribed"), false},
        {QStringLiteral("is_verified"), row.flag(7)},
        {QStringLiteral("category"), row.text(8)},
    };
    if (!row.isNull(1))
        object.insert(QStringLiteral("user_id"), row.integer(1));
    insertOptional(object, "avatar_url", context.absolute(row.optionalText(4)));
    insertOptional(object, "cover_url", context.absolute(row.optionalText(5)));
    return object;
}

QJsonArray posts(ServiceContext &context, qint64 channelId)
{
    Statement query(context.db, "SELECT id, channel_id, text, image_url, likes_count, views_count, created_at "
                                "FROM channel_posts WHERE channel_id = ?1 ORDER BY created_at DESC, id DESC");
    query.bind(1, channelId);
    const qint64 now = TimeText::now();
    QJsonArray list;
    while (query.next()) {
        QJsonObject post{
            {QStringLiteral("id"), query.integer(0)},
            {QStringLiteral("channel_id"), query.integer(1)},
            {QStringLiteral("text"), query.text(2)},
            {QStringLiteral("likes_count"), query.integer(4)},
            {QStringLiteral("views_count"), query.integer(5)},
            {QStringLiteral("created_at_formatted"), TimeText::ago(query.integer(6), now)},
        };
        insertOptional(post, "image_url", context.absolute(query.optionalText(3)));
        list.append(post);
    }
    return list;
}

void catalogue(ServiceContext &context, httplib::Response &res)
{
    Statement query(context.db, (std::string(ChannelColumns) + "ORDER BY id").c_str());
    QJsonArray list;
    while (query.next())
        list.append(channel(context, query));
    Reply::value(res, list);
}

void details(ServiceContext &context, std::optional<qint64> requested, httplib::Response &res)
{
    if (!requested)
        return Reply::refuse(res, QStringLiteral("Некорректный идентификатор канала"));
    const qint64 id = *requested;
    Statement query(context.db, (std::string(ChannelColumns) + "WHERE id = ?1").c_str());
    query.bind(1, id);
    if (!query.next())
        return Reply::refuse(res, QStringLiteral("Канал не найден"));
    QJsonObject object = channel(context, query);
    object.insert(QStringLiteral("posts"), posts(context, id));
    Reply::value(res, object);
}
}

void Routes::addChannels(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/channels\\.php", [&context](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard lock(context.db.mutex());
        if (QueryParams::value(req, QStringLiteral("channel_id")))
            return details(context, QueryParams::integer(req, QStringLiteral("channel_id")), res);
        catalogue(context, res);
    });
    server.Post("/api/channels\\.php",
                [&context](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
                    const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader);
                    if (!body)
                        return;
                    const QString action = RequestBody::text(*body, QStringLiteral("action")).value_or(QString());
                    if (!ChannelWrites::handle(action, *body, res, context))
                        Reply::refuse(res, QStringLiteral("Неизвестное действие"));
                });
}
