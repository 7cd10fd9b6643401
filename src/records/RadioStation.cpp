#include "RadioStation.h"

#include "JsonFields.h"
#include "RecordHash.h"

namespace {

enum Field { Id, Name, Frequency, Genre, StreamUrl, CoverUrl, FieldCount };

constexpr JsonKeys<FieldCount> keys = {
    QLatin1StringView("id"),    QLatin1StringView("name"),      QLatin1StringView("frequency"),
    QLatin1StringView("genre"), QLatin1StringView("streamUrl"), QLatin1StringView("coverUrl"),
};

} // namespace

QString RadioStation::frequencyText() const
{
    return QString::asprintf("%.1f FM", frequency);
}

RadioStation RadioStation::fromJson(const QJsonValue &value, const QString &path)
{
    return JsonCoding<RadioStation>::decode(value, path);
}

QByteArray RadioStation::toJson() const
{
    return encodeJson(*this);
}

size_t qHash(const RadioStation &station, size_t seed)
{
    seed = qHashMulti(seed, station.id, station.name, station.frequency, station.genre, station.streamUrl);
    return qHashOptional(station.coverUrl, seed);
}

RadioStation JsonCoding<RadioStation>::decodeAt(JsonNode value, const JsonPath &path)
{
    JsonFields<qint64, QString, double, QString, QString, QString> fields(value, path, keys);
    return RadioStation{
        .id = fields.required<Id>(),
        .name = fields.required<Name>(),
        .frequency = fields.required<Frequency>(),
        .genre = fields.required<Genre>(),
        .streamUrl = fields.required<StreamUrl>(),
        .coverUrl = fields.optional<CoverUrl>(),
    };
}

void JsonCoding<RadioStation>::encode(JsonWriter &writer, const RadioStation &station)
{
    writer.beginObject();
    JsonWrite::field(writer, keys[Id], station.id);
    JsonWrite::field(writer, keys[Name], station.name);
    JsonWrite::field(writer, keys[Frequency], station.frequency);
    JsonWrite::field(writer, keys[Genre], station.genre);
    JsonWrite::field(writer, keys[StreamUrl], station.streamUrl);
    JsonWrite::field(writer, keys[CoverUrl], station.coverUrl);
    writer.endObject();
}
