// "videos.php": the video catalogue, newest first, as a bare list.
// "video_upload.php": registers a video whose file and preview were stored through "upload.php".
#include "Database.h"
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
#include <variant>

namespace {
// The client never says who publishes: every new video belongs to the demo account.
constexpr qint64 PublisherId = 1;
constexpr qsizetype MaxTitleLength = 200;
constexpr qsizetype MaxDescriptionLength = 5000;
constexpr qsizetype MaxAddressLength = 2048;
constexpr qint64 BodyCap = RequestBody::capFor(MaxTitleLength + MaxDescriptionLength + 2 * MaxAddressLength);

const char *const VideoColumns =
    "SELECT id, title, description, author_id, thumbnail_url, video_url, duration_seconds, "
    "views_count, likes_count, created_at FROM videos ";

// The current row of a query over VideoColumns in its wire form; nothing when its author is gone.
std::optional<QJsonObject> videoJson(const Statement &row, const UserStore &users, const ServiceContext &context,
                                     qint64 now)
{
    const std::optional<QJsonObject> author = users.json(row.integer(3));
    if (!author)
        return std::nullopt;
    return QJsonObject{
        {QStringLiteral("id"), row.integer(0)},
        {QStringLiteral("title"), row.text(1)},
        {QStringLiteral("description"), row.text(2)},
        {QStringLiteral("author"), *author},
        {QStringLiteral("thumbnail_url"), context.absolute(row.text(4))},
        {QStringLiteral("video_url"), context.absolute(row.text(5))},
        {QStringLiteral("duration_seconds"), row.integer(6)},
        {QStringLiteral("views_count"), row.integer(7)},
        {QStringLiteral("likes_count"), row.integer(8)},
        {QStringLiteral("is_liked"), false},
        {QStringLiteral("created_at_formatted"), TimeText::ago(row.integer(9), now)},
    };
}

QJsonArray videos(ServiceContext &context)
{
    Statement query(context.db, (QByteArray(VideoColumns) + "ORDER BY created_at DESC, id DESC").constData());
    const UserStore users(context);
    const qint64 now = TimeText::now();
    QJsonArray list;
    while (query.next()) {
        if (const std::optional<QJsonObject> video = videoJson(query, users, context, now))
            list.append(*video);
    }
    return list;
}

struct NewVideo
{
    QString title;
    QString description;
    QString videoUrl;
    QString thumbnailUrl;
};

// The four strings the client sends, each required (an empty one included); texts are kept as
// sent. A title and a video address must not be empty.
std::variant<NewVideo, QString> readNewVideo(const QJsonObject &body)
{
    const std::optional<QString> title = RequestBody::text(body, QStringLiteral("title"));
    const std::optional<QString> description = RequestBody::text(body, QStringLiteral("description"));
    const std::optional<QString> videoUrl = RequestBody::text(body, QStringLiteral("video_url"));
    const std::optional<QString> thumbnailUrl = RequestBody::text(body, QStringLiteral("thumbnail_url"));
    if (!title || !description || !videoUrl || !thumbnailUrl)
        return QStringLiteral("Некорректный запрос");
    if (title->isEmpty())
        return QStringLiteral("Введите название видео");
    if (videoUrl->isEmpty())
        return QStringLiteral("Видеофайл не загружен");
    if (title->size() > MaxTitleLength)
        return RequestBody::tooLong("Название видео", MaxTitleLength);
    if (description->size() > MaxDescriptionLength)
        return RequestBody::tooLong("Описание видео", MaxDescriptionLength);
    if (videoUrl->size() > MaxAddressLength)
        return RequestBody::tooLong("Адрес видеофайла", MaxAddressLength);
    if (thumbnailUrl->size() > MaxAddressLength)
        return RequestBody::tooLong("Адрес превью", MaxAddressLength);
    return NewVideo{*title, *description, *videoUrl, *thumbnailUrl};
}

void uploadVideo(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const std::variant<NewVideo, QString> read = readNewVideo(body);
    if (const QString *refusal = std::get_if<QString>(&read))
        return Reply::refuse(res, *refusal);
    const NewVideo &video = std::get<NewVideo>(read);

    std::lock_guard lock(context.db.mutex());
    const qint64 now = TimeText::now();
    Statement insert(context.db, "INSERT INTO videos (author_id, title, description, thumbnail_url, video_url, "
                                 "duration_seconds, created_at) VALUES (?1, ?2, ?3, ?4, ?5, 0, ?6)");
    insert.bind(1, PublisherId).bind(2, video.title).bind(3, video.description);
    insert.bind(4, video.thumbnailUrl).bind(5, video.videoUrl).bind(6, now).run();

    Statement query(context.db, (QByteArray(VideoColumns) + "WHERE id = ?1").constData());
    query.bind(1, context.db.lastInsertId());
    const std::optional<QJsonObject> stored =
        query.next() ? videoJson(query, UserStore(context), context, now) : std::nullopt;
    if (!stored)
        return Reply::refuse(res, QStringLiteral("Не удалось сохранить видео"));
    Reply::success(res, QStringLiteral("Видео загружено"), *stored);
}
} // namespace

void Routes::addVideos(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/videos\\.php", [&context](const httplib::Request &, httplib::Response &res) {
        std::lock_guard lock(context.db.mutex());
        Reply::value(res, videos(context));
    });
    server.Post("/api/video_upload\\.php",
                [&context](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
                    const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader, BodyCap);
                    if (body)
                        uploadVideo(*body, res, context);
                });
}
