// "music.php": every track, newest first, as a bare list. "music_upload.php": a new track from
// the addresses the client got from "upload.php", stored as received and answered in the
// envelope with the track as "music.php" lists it.
#include "Database.h"
#include "MediaStore.h"
#include "OptionalMember.h"
#include "Reply.h"
#include "RequestBody.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "WavDuration.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <httplib.h>

namespace {
constexpr qsizetype MaxTitleLength = 200;
constexpr qsizetype MaxAddressLength = 2048;
constexpr qint64 BodyCap = RequestBody::capFor(3 * MaxTitleLength + 2 * MaxAddressLength);

const char *const TrackColumns = "SELECT id, title, artist, duration_seconds, cover_url, audio_url, explicit, lyrics, "
                                 "album_name, frequency_fm FROM tracks ";

QJsonObject trackAt(const Statement &query, const ServiceContext &context)
{
    QJsonObject track{
        {QStringLiteral("id"), query.integer(0)},
        {QStringLiteral("title"), query.text(1)},
        {QStringLiteral("artist"), query.text(2)},
        {QStringLiteral("duration_seconds"), query.integer(3)},
        {QStringLiteral("audio_url"), context.absolute(query.text(5))},
        {QStringLiteral("is_liked"), false},
        {QStringLiteral("explicit"), query.flag(6)},
    };
    insertOptional(track, "cover_url", context.absolute(query.optionalText(4)));
    insertOptional(track, "lyrics", query.optionalText(7));
    insertOptional(track, "album_name", query.optionalText(8));
    insertOptional(track, "frequency_fm", query.optionalText(9));
    return track;
}

QJsonArray tracks(ServiceContext &context)
{
    Statement query(context.db, (QByteArray(TrackColumns) + "ORDER BY created_at DESC, id DESC").constData());
    QJsonArray list;
    while (query.next())
        list.append(trackAt(query, context));
    return list;
}

// The length of an audio file this service holds, when it is a WAV; 0 for anything else
// (another kind, or an address elsewhere).
qint64 durationOf(const QString &audioUrl, const ServiceContext &context)
{
    QString sitePath = audioUrl;
    if (audioUrl.startsWith(context.siteUrl + QLatin1Char('/')))
        sitePath = audioUrl.mid(context.siteUrl.size());
    const std::optional<QString> file = context.media.resolve(sitePath);
    if (!file || !file->endsWith(QLatin1String(".wav")))
        return 0;
    return WavDuration::seconds(*file).value_or(0);
}

// An empty album or cover means none; they are then left out of the track.
std::optional<QString> unlessEmpty(const QString &text)
{
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

void uploadTrack(const QJsonObject &body, httplib::Response &res, ServiceContext &context)
{
    const QString keys[] = {QStringLiteral("title"), QStringLiteral("artist"), QStringLiteral("album_name"),
                            QStringLiteral("audio_url"), QStringLiteral("cover_url")};
    QString values[5];
    for (int i = 0; i < 5; ++i) {
        const std::optional<QString> value = RequestBody::text(body, keys[i]);
        if (!value)
            return Reply::refuse(res, QStringLiteral("Некорректные данные трека"));
        values[i] = *value;
    }
    const auto &[title, artist, album, audioUrl, coverUrl] = values;
    if (title.isEmpty() || artist.isEmpty() || audioUrl.isEmpty())
        return Reply::refuse(res, QStringLiteral("Укажите название, исполнителя и аудиофайл"));
    const char *const labels[] = {"Название трека", "Исполнитель", "Название альбома", "Адрес аудиофайла",
                                  "Адрес обложки"};
    for (int i = 0; i < 5; ++i) {
        const qsizetype most = i < 3 ? MaxTitleLength : MaxAddressLength;
        if (values[i].size() > most)
            return Reply::refuse(res, RequestBody::tooLong(labels[i], most));
    }

    const qint64 duration = durationOf(audioUrl, context);
    std::lock_guard lock(context.db.mutex());
    Statement insert(context.db, "INSERT INTO tracks (title, artist, duration_seconds, cover_url, audio_url, explicit, "
                                 "album_name, created_at) VALUES (?1, ?2, ?3, ?4, ?5, 0, ?6, ?7)");
    insert.bind(1, title).bind(2, artist).bind(3, duration).bind(4, unlessEmpty(coverUrl)).bind(5, audioUrl);
    insert.bind(6, unlessEmpty(album)).bind(7, QDateTime::currentSecsSinceEpoch());
    insert.run();
    Statement stored(context.db, (QByteArray(TrackColumns) + "WHERE id = ?1").constData());
    stored.bind(1, context.db.lastInsertId());
    if (!stored.next())
        return Reply::refuse(res, QStringLiteral("Не удалось сохранить трек"));
    Reply::success(res, QStringLiteral("Трек загружен"), trackAt(stored, context));
}
} // namespace

void Routes::addMusic(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/music\\.php", [&context](const httplib::Request &, httplib::Response &res) {
        std::lock_guard lock(context.db.mutex());
        Reply::value(res, tracks(context));
    });
    server.Post("/api/music_upload\\.php",
                [&context](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
                    const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader, BodyCap);
                    if (body)
                        uploadTrack(*body, res, context);
                });
}
