// "channels.php". Reads: the catalogue as a bare list (without posts); one channel by
// "channel_id" with its posts, newest first; with "action" "subscribers", that channel's
// subscribers as a bare list of users. Writes are told apart by "action" in the JSON body.
//
// No request says who asks, so the subscription flags and the toggle are the demo account's.
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
#include "UserStore.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QVariant>
#include <httplib.h>

#include <cmath>

namespace {
constexpr qint64 ViewerId = 1;

const char *const ChannelColumns =
    "SELECT id, user_id, name, description, avatar_url, cover_url, "
    "(SELECT COUNT(*) FROM channel_subscriptions WHERE channel_id = channels.id), is_verified, category, "
    "EXISTS (SELECT 1 FROM channel_subscriptions WHERE channel_id = channels.id AND user_id = ?9) "
    "FROM channels ";

QString unknownChannel()
{
    return QStringLiteral("Канал не найден");
}

QString badChannelId()
{
    return QStringLiteral("Некорректный идентификатор канала");
}

// A member that must be a JSON number with an integral value; a text such as "3" is refused.
std::optional<qint64> integerMember(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const QVariant number = value.toVariant();
    if (number.typeId() == QMetaType::LongLong)
        return number.toLongLong();
    const double real = value.toDouble();
    // 2^63 itself is out of range, so the bound is exclusive.
    if (!std::isfinite(real) || std::trunc(real) != real || real < -9223372036854775808.0 ||
        real >= 9223372036854775808.0)
        return std::nullopt;
    return qint64(real);
}

QJsonObject channel(ServiceContext &context, const Statement &row)
{
    QJsonObject object{
        {QStringLiteral("id"), row.integer(0)},         {QStringLiteral("name"), row.text(2)},
        {QStringLiteral("description"), row.text(3)},   {QStringLiteral("subscribers_count"), row.integer(6)},
        {QStringLiteral("is_subscribed"), row.flag(9)}, {QStringLiteral("is_verified"), row.flag(7)},
        {QStringLiteral("category"), row.text(8)},
    };
    if (!row.isNull(1))
        object.insert(QStringLiteral("user_id"), row.integer(1));
    insertOptional(object, "avatar_url", context.absolute(row.optionalText(4)));
    insertOptional(object, "cover_url", context.absolute(row.optionalText(5)));
    return object;
}

bool channelExists(ServiceContext &context, qint64 id)
{
    Statement query(context.db, "SELECT 1 FROM channels WHERE id = ?1");
    query.bind(1, id);
    return query.next();
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
    Statement query(context.db, (std::string(ChannelColumns) + "ORDER BY id DESC").c_str());
    query.bind(9, ViewerId);
    QJsonArray list;
    while (query.next())
        list.append(channel(context, query));
    Reply::value(res, list);
}

void details(ServiceContext &context, std::optional<qint64> requested, httplib::Response &res)
{
    if (!requested)
        return Reply::refuse(res, badChannelId());
    const qint64 id = *requested;
    Statement query(context.db, (std::string(ChannelColumns) + "WHERE id = ?1").c_str());
    query.bind(1, id).bind(9, ViewerId);
    if (!query.next())
        return Reply::refuse(res, unknownChannel());
    QJsonObject object = channel(context, query);
    object.insert(QStringLiteral("posts"), posts(context, id));
    Reply::value(res, object);
}

void subscribers(ServiceContext &context, std::optional<qint64> requested, httplib::Response &res)
{
    if (!requested)
        return Reply::refuse(res, badChannelId());
    if (!channelExists(context, *requested))
        return Reply::refuse(res, unknownChannel());
    Statement query(context.db, "SELECT user_id FROM channel_subscriptions WHERE channel_id = ?1 ORDER BY user_id");
    query.bind(1, *requested);
    const UserStore users(context);
    QJsonArray list;
    while (query.next()) {
        if (const std::optional<QJsonObject> user = users.json(query.integer(0)))
            list.append(*user);
    }
    Reply::value(res, list);
}

void toggleSubscribe(ServiceContext &context, const QJsonObject &body, httplib::Response &res)
{
    const std::optional<qint64> id = integerMember(body, QStringLiteral("channel_id"));
    if (!id)
        return Reply::refuse(res, badChannelId());
    std::lock_guard lock(context.db.mutex());
    if (!channelExists(context, *id))
        return Reply::refuse(res, unknownChannel());
    Statement current(context.db, "SELECT 1 FROM channel_subscriptions WHERE channel_id = ?1 AND user_id = ?2");
    current.bind(1, *id).bind(2, ViewerId);
    const bool wasSubscribed = current.next();
    if (wasSubscribed) {
        Statement(context.db, "DELETE FROM channel_subscriptions WHERE channel_id = ?1 AND user_id = ?2")
            .bind(1, *id)
            .bind(2, ViewerId)
            .run();
    } else {
        Statement(context.db, "INSERT INTO channel_subscriptions (channel_id, user_id) VALUES (?1, ?2)")
            .bind(1, *id)
            .bind(2, ViewerId)
            .run();
    }
    Reply::success(res, wasSubscribed ? QStringLiteral("Подписка отменена") : QStringLiteral("Подписка оформлена"),
                   QJsonObject{{QStringLiteral("is_subscribed"), !wasSubscribed}});
}
} // namespace

void Routes::addChannels(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/channels\\.php", [&context](const httplib::Request &req, httplib::Response &res) {
        std::lock_guard lock(context.db.mutex());
        const std::optional<qint64> channelId = QueryParams::integer(req, QStringLiteral("channel_id"));
        // The action decides first: a subscribers request also names its channel.
        if (const std::optional<QString> action = QueryParams::value(req, QStringLiteral("action"))) {
            if (*action == QLatin1String("subscribers"))
                return subscribers(context, channelId, res);
            return Reply::refuse(res, QStringLiteral("Неизвестное действие"));
        }
        if (QueryParams::value(req, QStringLiteral("channel_id")))
            return details(context, channelId, res);
        catalogue(context, res);
    });

    server.Post("/api/channels\\.php", [&context](const httplib::Request &req, httplib::Response &res,
                                                  const httplib::ContentReader &reader) {
        const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader, ChannelWrites::BodyCap);
        if (!body)
            return;
        const QString action = RequestBody::text(*body, QStringLiteral("action")).value_or(QString());
        if (action == QLatin1String("toggle_subscribe"))
            return toggleSubscribe(context, *body, res);
        if (!ChannelWrites::handle(action, *body, res, context))
            Reply::refuse(res, QStringLiteral("Неизвестное действие"));
    });
}
