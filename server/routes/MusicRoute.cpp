// "music.php": every track, newest first, as a bare list.
#include "Database.h"
#include "OptionalMember.h"
#include "Reply.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "Statement.h"

#include <QJsonArray>
#include <QJsonObject>
#include <httplib.h>

namespace {
QJsonArray tracks(ServiceContext &context)
{
    Statement query(context.db, "SELECT id, title, artist, duration_seconds, cover_url, audio_url, explicit, lyrics, "
                                "album_name, frequency_fm FROM tracks ORDER BY created_at DESC, id DESC");
    QJsonArray list;
    while (query.next()) {
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
        list.append(track);
    }
    return list;
}
}

void Routes::addMusic(httplib::Server &server, ServiceContext &context)
{
    server.Get("/api/music\\.php", [&context](const httplib::Request &, httplib::Response &res) {
        std::lock_guard lock(context.db.mutex());
        Reply::value(res, tracks(context));
    });
}
