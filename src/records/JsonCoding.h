#pragma once

#include "DecodingError.h"
#include "JsonPath.h"
#include "JsonWriter.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// JSON coding of one type: `static T decode(const QJsonValue &, const QString &path)` and
// `static void encode(JsonWriter &, const T &)`, plus `decodeAt`, the same decode with the path
// kept as a JsonPath so that nested decoders build no strings unless they fail. Every record,
// QList<T>, QString, qint64, bool, double, QMap<QString, QString>, QMap<QString, bool> and
// APIResponse<T> have one.
template<class T>
struct JsonCoding;

template<class T>
struct JsonCodingEntry
{
    static T decode(const QJsonValue &value, const QString &path = {})
    {
        return JsonCoding<T>::decodeAt(value, JsonPath(path));
    }
};

namespace JsonRead {
// Refuses a value that is not of the expected JSON type: Missing for an absent value, Null for
// null, WrongType otherwise. `expected` names the type in the user's language.
[[noreturn]] void failType(const QJsonValue &value, const JsonPath &path, const char *expected);
[[noreturn]] void fail(DecodingError::Kind kind, const JsonPath &path, const QString &detail = {});
// The value as an object, or NotAnObject (Missing, Null for absent and null values).
QJsonObject object(const QJsonValue &value, const JsonPath &path);
// Any JSON text, also a bare scalar; InvalidJson for anything else.
QJsonValue parse(const QByteArray &bytes);
} // namespace JsonRead

namespace JsonWrite {
template<class T>
void field(JsonWriter &writer, QLatin1StringView key, const T &value)
{
    writer.key(key);
    JsonCoding<T>::encode(writer, value);
}

// An absent optional leaves its key out: null is never written.
template<class T>
void field(JsonWriter &writer, QLatin1StringView key, const std::optional<T> &value)
{
    if (value)
        field(writer, key, *value);
}
} // namespace JsonWrite

template<>
struct JsonCoding<qint64> : JsonCodingEntry<qint64>
{
    // A number with an integral value inside the 64-bit range: 5.0 is 5; 5.5, "5" and 1e30 fail.
    static qint64 decodeAt(const QJsonValue &value, const JsonPath &path);
    static void encode(JsonWriter &writer, qint64 value) { writer.integer(value); }
};

template<>
struct JsonCoding<bool> : JsonCodingEntry<bool>
{
    // true or false only, never 0 or 1.
    static bool decodeAt(const QJsonValue &value, const JsonPath &path);
    static void encode(JsonWriter &writer, bool value) { writer.boolean(value); }
};

template<>
struct JsonCoding<double> : JsonCodingEntry<double>
{
    static double decodeAt(const QJsonValue &value, const JsonPath &path);
    static void encode(JsonWriter &writer, double value) { writer.number(value); }
};

template<>
struct JsonCoding<QString> : JsonCodingEntry<QString>
{
    static QString decodeAt(const QJsonValue &value, const JsonPath &path);
    static void encode(JsonWriter &writer, const QString &value) { writer.string(value); }
};

template<class T>
struct JsonCoding<QList<T>> : JsonCodingEntry<QList<T>>
{
    // One bad element refuses the whole list.
    static QList<T> decodeAt(const QJsonValue &value, const JsonPath &path)
    {
        if (!value.isArray())
            JsonRead::failType(value, path, "массив");
        const QJsonArray array = value.toArray();
        QList<T> list;
        list.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i)
            list.append(JsonCoding<T>::decodeAt(array.at(i), JsonPath(path, i)));
        return list;
    }

    static void encode(JsonWriter &writer, const QList<T> &list)
    {
        writer.beginArray();
        for (const T &element : list)
            JsonCoding<T>::encode(writer, element);
        writer.endArray();
    }
};

template<class V>
struct JsonCoding<QMap<QString, V>> : JsonCodingEntry<QMap<QString, V>>
{
    static QMap<QString, V> decodeAt(const QJsonValue &value, const JsonPath &path)
    {
        const QJsonObject object = JsonRead::object(value, path);
        QMap<QString, V> map;
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            const QString key = it.key();
            map.insert(key, JsonCoding<V>::decodeAt(it.value(), JsonPath(path, key)));
        }
        return map;
    }

    static void encode(JsonWriter &writer, const QMap<QString, V> &map)
    {
        writer.beginObject();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
            writer.key(it.key());
            JsonCoding<V>::encode(writer, it.value());
        }
        writer.endObject();
    }
};

// Decodes JSON bytes as a T; throws DecodingError, kind InvalidJson for bytes that are not JSON.
template<class T>
T decodeJson(const QByteArray &bytes)
{
    return JsonCoding<T>::decodeAt(JsonRead::parse(bytes), JsonPath(QString()));
}

template<class T>
QByteArray encodeJson(const T &value)
{
    JsonWriter writer;
    JsonCoding<T>::encode(writer, value);
    return writer.take();
}
