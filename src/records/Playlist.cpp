#include "Playlist.h"

#include "JsonFields.h"
#include "RecordHash.h"

namespace {

// Key-table order, which is also the order of reading and writing.
enum Key { Id, Name, Description, Tracks, CoverUrl, IsPublic, ShareUrl, KeyCount };

constexpr JsonKeys<KeyCount> keys = {
    QLatin1StringView("id"),        QLatin1StringView("name"),      QLatin1StringView("description"),
    QLatin1StringView("tracks"),    QLatin1StringView("cover_url"), QLatin1StringView("is_public"),
    QLatin1StringView("share_url"),
};

} // namespace

Playlist Playlist::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<Playlist>::decode(value, path);
}

QByteArray Playlist::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const Playlist &playlist, size_t seed)
{
    seed = qHashMulti(seed, playlist.id, playlist.name, playlist.description);
    seed = qHashOptional(playlist.coverUrl, seed);
    seed = qHashMulti(seed, playlist.isPublic);
    seed = qHashOptional(playlist.shareUrl, seed);
    return qHashMulti(seed, playlist.tracks);
}

Playlist JsonCoding<Playlist>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, QString, QString, QList<Track>, QString, bool, QString> fields(value, path, keys);
    Playlist playlist;
    playlist.id = fields.required<Id>();
    playlist.name = fields.required<Name>();
    playlist.description = fields.required<Description>();
    playlist.tracks = fields.required<Tracks>();
    playlist.coverUrl = fields.optional<CoverUrl>();
    playlist.isPublic = fields.required<IsPublic>();
    playlist.shareUrl = fields.optional<ShareUrl>();
    return playlist;
}

void JsonCoding<Playlist>::encode(JsonWriter &writer, const Playlist &playlist)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], playlist.id);
    JsonWrite::field(writer, keys[Name], playlist.name);
    JsonWrite::field(writer, keys[Description], playlist.description);
    JsonWrite::field(writer, keys[Tracks], playlist.tracks);
    JsonWrite::field(writer, keys[CoverUrl], playlist.coverUrl);
    JsonWrite::field(writer, keys[IsPublic], playlist.isPublic);
    JsonWrite::field(writer, keys[ShareUrl], playlist.shareUrl);
    writer.endObject();
}
