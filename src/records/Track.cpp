#include "Track.h"

#include "DurationText.h"
#include "JsonFields.h"
#include "RecordHash.h"

namespace {

enum Field {
    Id,
    Title,
    Artist,
    DurationSeconds,
    CoverUrl,
    AudioUrl,
    IsLiked,
    Explicit,
    Lyrics,
    AlbumName,
    FrequencyFM,
    FieldCount
};

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),           QLatin1StringView("title"),
    QLatin1StringView("artist"),       QLatin1StringView("duration_seconds"),
    QLatin1StringView("cover_url"),    QLatin1StringView("audio_url"),
    QLatin1StringView("is_liked"),     QLatin1StringView("explicit"),
    QLatin1StringView("lyrics"),       QLatin1StringView("album_name"),
    QLatin1StringView("frequency_fm"),
};

} // namespace

QString Track::durationFormatted() const
{
    if (durationSeconds == 0)
        return QStringLiteral("LIVE");
    return minutesSecondsText(durationSeconds);
}

Track Track::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<Track>::decode(value, path);
}

QByteArray Track::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const Track &track, size_t seed)
{
    seed = qHashMulti(seed, track.id, track.title, track.artist, track.durationSeconds);
    seed = qHashOptional(track.coverUrl, seed);
    seed = qHashMulti(seed, track.audioUrl, track.isLiked, track.isExplicit);
    seed = qHashOptional(track.lyrics, seed);
    seed = qHashOptional(track.albumName, seed);
    return qHashOptional(track.frequencyFM, seed);
}

Track JsonCoding<Track>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, QString, QString, qint64, QString, QString, bool, bool, QString, QString, QString> fields(
        value, path, keys);
    return Track{
        .id = fields.required<Id>(),
        .title = fields.required<Title>(),
        .artist = fields.required<Artist>(),
        .durationSeconds = fields.required<DurationSeconds>(),
        .coverUrl = fields.optional<CoverUrl>(),
        .audioUrl = fields.required<AudioUrl>(),
        .isLiked = fields.required<IsLiked>(),
        .isExplicit = fields.required<Explicit>(),
        .lyrics = fields.optional<Lyrics>(),
        .albumName = fields.optional<AlbumName>(),
        .frequencyFM = fields.optional<FrequencyFM>(),
    };
}

void JsonCoding<Track>::encode(JsonWriter &writer, const Track &track)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], track.id);
    JsonWrite::field(writer, keys[Title], track.title);
    JsonWrite::field(writer, keys[Artist], track.artist);
    JsonWrite::field(writer, keys[DurationSeconds], track.durationSeconds);
    JsonWrite::field(writer, keys[CoverUrl], track.coverUrl);
    JsonWrite::field(writer, keys[AudioUrl], track.audioUrl);
    JsonWrite::field(writer, keys[IsLiked], track.isLiked);
    JsonWrite::field(writer, keys[Explicit], track.isExplicit);
    JsonWrite::field(writer, keys[Lyrics], track.lyrics);
    JsonWrite::field(writer, keys[AlbumName], track.albumName);
    JsonWrite::field(writer, keys[FrequencyFM], track.frequencyFM);
    writer.endObject();
}
