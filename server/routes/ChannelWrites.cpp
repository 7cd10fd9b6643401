// Founding, changing and posting into channels. The client never says who asks, so nothing here
// checks ownership: the owner is whoever "create" names. Texts are stored as sent; an empty
// address means "no picture" and is stored as absent, so that replies leave the key out.
#include "ChannelWrites.h"

#include "Database.h"
#include "OptionalMember.h"
#include "Reply.h"
#include "RequestBody.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"

#include <QJsonValue>
#include <httplib.h>

#include <cmath>
#include <mutex>

namespace {
// Ids travel as JSON numbers, which QJsonDocument reads as doubles: beyond 2^53 they are no
// longer exact, so such a number names no record.
constexpr double LargestExactInteger = 9007199254740992.0;

std::optional<qint64> integer(const QJsonObject &body, const QString &key)
{
    const QJsonValue value = body.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::fabs(number) > LargestExactInteger)
        return std::nullopt;
    return qint64(number);
}

std::optional<QString> address(const QString &sent)
{
    return sent.isEmpty() ? std::nullopt : std::optional<QString>(sent);
}

bool exists(ServiceContext &context, const char *sql, qint64 id)
{
    Statement query(context.db, sql);
    query.bind(1, id);
    return query.next();
}

// The five texts that both "create" and "edit" carry.
struct ChannelTexts
{
    QString name;
    QString description;
    QString category;
    QString avatarUrl;
    QString coverUrl;
};

// The refusal for the first text over its cap, if any.
std::optional<QString> overlong(const ChannelTexts &texts)
{
    using namespace ChannelWrites;
    if (texts.name.size() > MaxNameLength)
        return RequestBody::tooLong("Название канала", MaxNameLength);
    if (texts.description.size() > MaxDescriptionLength)
        return RequestBody::tooLong("Описание канала", MaxDescriptionLength);
    if (texts.category.size() > MaxCategoryLength)
        return RequestBody::tooLong("Категория канала", MaxCategoryLength);
    if (texts.avatarUrl.size() > MaxAddressLength)
        return RequestBody::tooLong("Адрес аватара канала", MaxAddressLength);
    if (texts.coverUrl.size() > MaxAddressLength)
        return RequestBody::tooLong("Адрес обложки канала", MaxAddressLength);
    return std::nullopt;
}

std::optional<ChannelTexts> channelTexts(const QJsonObject &body)
{
    const auto name = RequestBody::text(body, QStringLiteral("name"));
    const auto description = RequestBody::text(body, QStringLiteral("description"));
    const auto category = RequestBody::text(body, QStringLiteral("category"));
    const auto avatarUrl = RequestBody::text(body, QStringLiteral("avatar_url"));
    const auto coverUrl = RequestBody::text(body, QStringLiteral("cover_url"));
    if (!name || !description || !category || !avatarUrl || !coverUrl)
        return std::nullopt;
    return ChannelTexts{*name, *description, *category, *avatarUrl, *coverUrl};
}

QString incomplete()
{
    return QStringLiteral("Некорректный запрос");
}

void create(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::optional<ChannelTexts> texts = channelTexts(body);
    const std::optional<qint64> userId = integer(body, QStringLiteral("user_id"));
    if (!texts || !userId)
        return Reply::refuse(res, incomplete());
    if (texts->name.isEmpty())
        return Reply::refuse(res, QStringLiteral("Введите название канала"));
    if (const std::optional<QString> refusal = overlong(*texts))
        return Reply::refuse(res, *refusal);

    std::lock_guard lock(context.db.mutex());
    if (!exists(context, "SELECT 1 FROM users WHERE id = ?1", *userId))
        return Reply::refuse(res, QStringLiteral("Пользователь не найден"));
    Statement insert(context.db, "INSERT INTO channels (user_id, name, description, avatar_url, cover_url, "
                                 "is_verified, category, created_at) VALUES (?1, ?2, ?3, ?4, ?5, 0, ?6, ?7)");
    insert.bind(1, *userId).bind(2, texts->name).bind(3, texts->description);
    insert.bind(4, address(texts->avatarUrl)).bind(5, address(texts->coverUrl));
    insert.bind(6, texts->category).bind(7, TimeText::now());
    insert.run();

    // A new channel has nobody subscribed, the demo viewer included.
    QJsonObject channel{
        {QStringLiteral("id"), context.db.lastInsertId()},
        {QStringLiteral("user_id"), *userId},
        {QStringLiteral("name"), texts->name},
        {QStringLiteral("description"), texts->description},
        {QStringLiteral("subscribers_count"), 0},
        {QStringLiteral("is_subscribed"), false},
        {QStringLiteral("is_verified"), false},
        {QStringLiteral("category"), texts->category},
    };
    insertOptional(channel, "avatar_url", address(texts->avatarUrl));
    insertOptional(channel, "cover_url", address(texts->coverUrl));
    Reply::success(res, QStringLiteral("Канал создан"), channel);
}

void edit(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::optional<qint64> channelId = integer(body, QStringLiteral("channel_id"));
    const std::optional<ChannelTexts> texts = channelTexts(body);
    if (!channelId || !texts)
        return Reply::refuse(res, incomplete());
    if (texts->name.isEmpty())
        return Reply::refuse(res, QStringLiteral("Введите название канала"));
    if (const std::optional<QString> refusal = overlong(*texts))
        return Reply::refuse(res, *refusal);

    std::lock_guard lock(context.db.mutex());
    if (!exists(context, "SELECT 1 FROM channels WHERE id = ?1", *channelId))
        return Reply::refuse(res, QStringLiteral("Канал не найден"));
    Statement update(context.db, "UPDATE channels SET name = ?2, description = ?3, category = ?4, avatar_url = ?5, "
                                 "cover_url = ?6 WHERE id = ?1");
    update.bind(1, *channelId).bind(2, texts->name).bind(3, texts->description).bind(4, texts->category);
    update.bind(5, address(texts->avatarUrl)).bind(6, address(texts->coverUrl));
    update.run();
    Reply::success(res, QStringLiteral("Канал обновлён"), QJsonValue());
}

void createPost(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::optional<qint64> channelId = integer(body, QStringLiteral("channel_id"));
    const std::optional<QString> text = RequestBody::text(body, QStringLiteral("text"));
    const std::optional<QString> imageUrl = RequestBody::text(body, QStringLiteral("image_url"));
    if (!channelId || !text || !imageUrl)
        return Reply::refuse(res, incomplete());
    if (text->size() > ChannelWrites::MaxPostLength)
        return Reply::refuse(res, RequestBody::tooLong("Текст записи", ChannelWrites::MaxPostLength));
    if (imageUrl->size() > ChannelWrites::MaxAddressLength)
        return Reply::refuse(res, RequestBody::tooLong("Адрес картинки", ChannelWrites::MaxAddressLength));

    std::lock_guard lock(context.db.mutex());
    if (!exists(context, "SELECT 1 FROM channels WHERE id = ?1", *channelId))
        return Reply::refuse(res, QStringLiteral("Канал не найден"));
    const qint64 now = TimeText::now();
    Statement insert(context.db, "INSERT INTO channel_posts (channel_id, text, image_url, likes_count, views_count, "
                                 "created_at) VALUES (?1, ?2, ?3, 0, 0, ?4)");
    insert.bind(1, *channelId).bind(2, *text).bind(3, address(*imageUrl)).bind(4, now);
    insert.run();

    QJsonObject post{
        {QStringLiteral("id"), context.db.lastInsertId()},
        {QStringLiteral("channel_id"), *channelId},
        {QStringLiteral("text"), *text},
        {QStringLiteral("likes_count"), 0},
        {QStringLiteral("views_count"), 0},
        {QStringLiteral("created_at_formatted"), TimeText::ago(now, now)},
    };
    insertOptional(post, "image_url", address(*imageUrl));
    Reply::success(res, QStringLiteral("Запись опубликована"), post);
}
} // namespace

bool ChannelWrites::handle(const QString &action, const QJsonObject &body, httplib::Response &res,
                           ServiceContext &context)
{
    if (action == QLatin1String("create"))
        create(body, res, context);
    else if (action == QLatin1String("edit"))
        edit(body, res, context);
    else if (action == QLatin1String("create_post"))
        createPost(body, res, context);
    else
        return false;
    return true;
}
