#include "Album.h"

#include "JsonFields.h"
#include "RecordHash.h"

namespace {

// Key-table order, which is also the order of reading and writing.
enum Key { Id, Title, Artist, Tracks, CoverUrl, ReleaseYear, KeyCount };

constexpr JsonKeys<KeyCount> keys = {
    QLatin1StringView("id"),     QLatin1StringView("title"),     QLatin1StringView("artist"),
    QLatin1StringView("tracks"), QLatin1StringView("cover_url"), QLatin1StringView("release_year"),
};

} // namespace

Album Album::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<Album>::decode(value, path);
}

QByteArray Album::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const Album &album, size_t seed)
{
    seed = qHashMulti(seed, album.id, album.title, album.artist);
    seed = qHashOptional(album.coverUrl, seed);
    return qHashMulti(seed, album.releaseYear, album.tracks);
}

Album JsonCoding<Album>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, QString, QString, QList<Track>, QString, QString> fields(value, path, keys);
    Album album;
    album.id = fields.required<Id>();
    album.title = fields.required<Title>();
    album.artist = fields.required<Artist>();
    album.tracks = fields.required<Tracks>();
    album.coverUrl = fields.optional<CoverUrl>();
    album.releaseYear = fields.required<ReleaseYear>();
    return album;
}

void JsonCoding<Album>::encode(JsonWriter &writer, const Album &album)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], album.id);
    JsonWrite::field(writer, keys[Title], album.title);
    JsonWrite::field(writer, keys[Artist], album.artist);
    JsonWrite::field(writer, keys[Tracks], album.tracks);
    JsonWrite::field(writer, keys[CoverUrl], album.coverUrl);
    JsonWrite::field(writer, keys[ReleaseYear], album.releaseYear);
    writer.endObject();
}
