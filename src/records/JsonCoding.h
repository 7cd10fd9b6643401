#pragma once

#include "DecodingError.h"
#include "JsonPath.h"
#include "JsonWriter.h"

#include <QByteArray>
#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>

#include <cmath>
#include <optional>

// JSON coding of one type: `static T decode(const QJsonValue &, const QString &path)` and
// `static void encode(JsonWriter &, const T &)`. Every record, QList<T>, QString, qint64, bool,
// double, QMap<QString, QString>, QMap<QString, bool> and APIResponse<T> have one.
//
// Underneath, `decodeAt` reads the QCborValue that every Qt 6 QJsonValue wraps (taken without a
// copy) and keeps the path as a JsonPath, so that nested decoders build no strings unless they
// fail; QCborMap also finds a key without making a QString of every member's name.
template<class T>
struct JsonCoding;

template<class T>
struct JsonCodingEntry
{
    static T decode(const QJsonValue &value, const QString &path = {})
    {
        return JsonCoding<T>::decodeAt(QCborValue::fromJsonValue(value), JsonPath(path));
    }
};

namespace JsonRead {
// Refuses a value that is not of the expected JSON type: Missing for an absent value, Null for
// null, WrongType otherwise. `expected` names the type in the user's language.
[[noreturn]] void failType(QCborValue::Type type, const JsonPath &path, const char *expected);
[[noreturn]] void fail(DecodingError::Kind kind, const JsonPath &path, const QString &detail = {});
// The value as an object, or NotAnObject (Missing, Null for absent and null values).
QCborMap object(const QCborValue &value, const JsonPath &path);
// Any JSON text, also a bare scalar; InvalidJson for anything else.
QCborValue parse(const QByteArray &bytes);
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

// The scalar decoders read either a QCborValue or, inside an object, the member in place
// (QCborValueConstRef), which spares a reference-counted copy per field.
template<>
struct JsonCoding<qint64> : JsonCodingEntry<qint64>
{
    // A number with an integral value inside the 64-bit range: 5.0 is 5; 5.5, "5" and 1e30 fail
    // (2^63 itself is out of range).
    template<class V>
    static qint64 read(const V &value, const JsonPath &path)
    {
        if (value.isInteger())
            return value.toInteger();
        if (value.isDouble()) {
            const double number = value.toDouble();
            if (number >= -0x1p63 && number < 0x1p63 && std::trunc(number) == number)
                return static_cast<qint64>(number);
        }
        JsonRead::failType(value.type(), path, "целое число");
    }
    static qint64 decodeAt(const QCborValue &value, const JsonPath &path) { return read(value, path); }
    static void encode(JsonWriter &writer, qint64 value) { writer.integer(value); }
};

template<>
struct JsonCoding<bool> : JsonCodingEntry<bool>
{
    // true or false only, never 0 or 1.
    template<class V>
    static bool read(const V &value, const JsonPath &path)
    {
        if (!value.isBool())
            JsonRead::failType(value.type(), path, "true или false");
        return value.isTrue();
    }
    static bool decodeAt(const QCborValue &value, const JsonPath &path) { return read(value, path); }
    static void encode(JsonWriter &writer, bool value) { writer.boolean(value); }
};

template<>
struct JsonCoding<double> : JsonCodingEntry<double>
{
    template<class V>
    static double read(const V &value, const JsonPath &path)
    {
        if (!value.isInteger() && !value.isDouble())
            JsonRead::failType(value.type(), path, "число");
        return value.toDouble();
    }
    static double decodeAt(const QCborValue &value, const JsonPath &path) { return read(value, path); }
    static void encode(JsonWriter &writer, double value) { writer.number(value); }
};

template<>
struct JsonCoding<QString> : JsonCodingEntry<QString>
{
    template<class V>
    static QString read(const V &value, const JsonPath &path)
    {
        if (!value.isString())
            JsonRead::failType(value.type(), path, "строка");
        return value.toString();
    }
    static QString decodeAt(const QCborValue &value, const JsonPath &path) { return read(value, path); }
    static void encode(JsonWriter &writer, const QString &value) { writer.string(value); }
};

template<class T>
struct JsonCoding<QList<T>> : JsonCodingEntry<QList<T>>
{
    // One bad element refuses the whole list.
    static QList<T> decodeAt(const QCborValue &value, const JsonPath &path)
    {
        if (!value.isArray())
            JsonRead::failType(value.type(), path, "массив");
        const QCborArray array = value.toArray();
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
    static QMap<QString, V> decodeAt(const QCborValue &value, const JsonPath &path)
    {
        const QCborMap object = JsonRead::object(value, path);
        QMap<QString, V> map;
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            const QString key = it.key().toString();
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
