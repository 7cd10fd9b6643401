#include "FeedWrites.h"

#include "Database.h"
#include "FeedList.h"
#include "FeedRecords.h"
#include "Reply.h"
#include "RequestBody.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserStore.h"

#include <QJsonValue>
#include <httplib.h>

#include <cmath>

namespace {
using FeedWrites::MaxAddressLength;
using FeedWrites::MaxCommentLength;
using FeedWrites::MaxPostLength;

// A member that must be a whole JSON number; nothing for a missing key, a text, a fraction.
std::optional<qint64> integer(const QJsonObject &body, const char *key)
{
    const QJsonValue value = body.value(QLatin1String(key));
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number)
        return std::nullopt;
    return value.toInteger();
}

std::optional<QString> text(const QJsonObject &body, const char *key)
{
    return RequestBody::text(body, QLatin1String(key));
}

bool userExists(ServiceContext &context, qint64 userId)
{
    return UserStore(context).json(userId).has_value();
}

void createPost(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::optional<qint64> userId = integer(body, "user_id");
    const std::optional<QString> postText = text(body, "text");
    const std::optional<QString> imageUrl = text(body, "image_url");
    if (!userId || !postText || !imageUrl)
        return Reply::refuse(res, QStringLiteral("Некорректный запрос"));
    if (postText->trimmed().isEmpty())
        return Reply::refuse(res, QStringLiteral("Напишите текст записи"));
    if (postText->size() > MaxPostLength || imageUrl->size() > MaxAddressLength)
        return Reply::refuse(res, QStringLiteral("Слишком длинная запись"));

    std::lock_guard lock(context.db.mutex());
    if (!userExists(context, *userId))
        return Reply::refuse(res, QStringLiteral("Пользователь не найден"));
    FeedList::Change change(context);
    // The author has seen it once: the same count the client shows until this reply arrives.
    Statement insert(context.db, "INSERT INTO posts (author_id, text, views_count, created_at) VALUES (?1, ?2, 1, ?3)");
    insert.bind(1, *userId).bind(2, *postText).bind(3, TimeText::now()).run();
    const qint64 postId = context.db.lastInsertId();
    change.post(postId);
    if (!imageUrl->isEmpty()) {
        Statement photo(context.db, "INSERT INTO post_attachments (post_id, kind, url) VALUES (?1, 'image', ?2)");
        photo.bind(1, postId).bind(2, *imageUrl).run();
    }
    const std::optional<QJsonObject> post = FeedRecords::post(context, postId);
    Reply::success(res, QStringLiteral("Запись опубликована"), post ? QJsonValue(*post) : QJsonValue());
}

void toggleRepost(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::optional<qint64> postId = integer(body, "post_id");
    const std::optional<qint64> userId = integer(body, "user_id");
    if (!postId || !userId)
        return Reply::refuse(res, QStringLiteral("Некорректный запрос"));

    std::lock_guard lock(context.db.mutex());
    if (!FeedRecords::postExists(context, *postId))
        return Reply::refuse(res, QStringLiteral("Запись не найдена"));
    if (!userExists(context, *userId))
        return Reply::refuse(res, QStringLiteral("Пользователь не найден"));
    Statement existing(context.db, "SELECT 1 FROM reposts WHERE post_id = ?1 AND user_id = ?2");
    existing.bind(1, *postId).bind(2, *userId);
    const bool reposted = !existing.next();
    FeedList::Change feedChange(context);
    feedChange.post(*postId);
    Statement change(context.db, reposted ? "INSERT INTO reposts (post_id, user_id) VALUES (?1, ?2)"
                                          : "DELETE FROM reposts WHERE post_id = ?1 AND user_id = ?2");
    change.bind(1, *postId).bind(2, *userId).run();
    Reply::success(res, reposted ? QStringLiteral("Репост сделан") : QStringLiteral("Репост отменён"),
                   QJsonObject{{QStringLiteral("is_reposted"), reposted}});
}

void addComment(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::optional<qint64> postId = integer(body, "post_id");
    const std::optional<qint64> userId = integer(body, "user_id");
    const std::optional<QString> commentText = text(body, "text");
    if (!postId || !userId || !commentText)
        return Reply::refuse(res, QStringLiteral("Некорректный запрос"));
    if (commentText->trimmed().isEmpty())
        return Reply::refuse(res, QStringLiteral("Напишите комментарий"));
    if (commentText->size() > MaxCommentLength)
        return Reply::refuse(res, QStringLiteral("Слишком длинный комментарий"));

    std::lock_guard lock(context.db.mutex());
    if (!FeedRecords::postExists(context, *postId))
        return Reply::refuse(res, QStringLiteral("Запись не найдена"));
    if (!userExists(context, *userId))
        return Reply::refuse(res, QStringLiteral("Пользователь не найден"));
    FeedList::Change change(context);
    change.post(*postId);
    Statement insert(context.db, "INSERT INTO comments (post_id, author_id, text, created_at) VALUES (?1, ?2, ?3, ?4)");
    insert.bind(1, *postId).bind(2, *userId).bind(3, *commentText).bind(4, TimeText::now()).run();
    const std::optional<QJsonObject> comment = FeedRecords::comment(context, context.db.lastInsertId());
    Reply::success(res, QStringLiteral("Комментарий добавлен"), comment ? QJsonValue(*comment) : QJsonValue());
}
} // namespace

void FeedWrites::handle(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const QJsonValue action = body.value(QStringLiteral("action"));
    if (action.isUndefined())
        return createPost(body, res, context);
    if (action == QJsonValue(QStringLiteral("repost")))
        return toggleRepost(body, res, context);
    if (action == QJsonValue(QStringLiteral("comment")))
        return addComment(body, res, context);
    Reply::refuse(res, QStringLiteral("Неизвестное действие"));
}
