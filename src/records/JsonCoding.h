#pragma once

#include "DecodingError.h"
#include "JsonNode.h"
#include "JsonPath.h"
#include "JsonTree.h"
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
// `static void encode(JsonWriter &, const T &)`. Every record, QList<T>, QString, qint64, bool,
// double, QMap<QString, QString>, QMap<QString, bool> and APIResponse<T> have one.
//
// Underneath, `decodeAt` reads a node of a JsonTree and keeps the path as a JsonPath, so that
// nested decoders build no strings unless they fail. decodeJson() parses bytes straight into a
// JsonTree and is the faster route; decode() of a QJsonValue first copies it into one.
template <class T> struct JsonCoding;

template <class T> struct JsonCodingEntry
{
    static T decode(const QJsonValue &value, const QString &path = {})
    {
        const JsonTree tree = JsonTree::fromJsonValue(value);
        return JsonCoding<T>::decodeAt(tree.root(), JsonPath(path));
    }
};

namespace JsonRead {
// Refuses a value that is not of the expected JSON type: Missing for an absent value, Null for
// null, WrongType otherwise. `expected` names the type in the user's language.
[[noreturn]] void failType(JsonNode::Type type, const JsonPath &path, const char *expected);
[[noreturn]] void fail(DecodingError::Kind kind, const JsonPath &path, const QString &detail = {});
// Refuses anything but an object: NotAnObject (Missing, Null for absent and null values).
void requireObject(JsonNode value, const JsonPath &path);
} // namespace JsonRead

namespace JsonWrite {
template <class T> void field(JsonWriter &writer, QLatin1StringView key, const T &value)
{
    writer.key(key);
    JsonCoding<T>::encode(writer, value);
}

// An absent optional leaves its key out: null is never written.
template <class T> void field(JsonWriter &writer, QLatin1StringView key, const std::optional<T> &value)
{
    if (value)
        field(writer, key, *value);
}
} // namespace JsonWrite

template <> struct JsonCoding<qint64> : JsonCodingEntry<qint64>
{
    // A number with an integral value inside the 64-bit range: 5.0 is 5; 5.5, "5", 1e30 and
    // 2^63 fail. The tree holds every such number as an integer already.
    static qint64 decodeAt(JsonNode value, const JsonPath &path)
    {
        if (!value.isInteger())
            JsonRead::failType(value.type(), path, "целое число");
        return value.toInteger();
    }
    static void encode(JsonWriter &writer, qint64 value) { writer.integer(value); }
};

template <> struct JsonCoding<bool> : JsonCodingEntry<bool>
{
    // true or false only, never 0 or 1.
    static bool decodeAt(JsonNode value, const JsonPath &path)
    {
        if (!value.isBool())
            JsonRead::failType(value.type(), path, "true или false");
        return value.isTrue();
    }
    static void encode(JsonWriter &writer, bool value) { writer.boolean(value); }
};

template <> struct JsonCoding<double> : JsonCodingEntry<double>
{
    static double decodeAt(JsonNode value, const JsonPath &path)
    {
        if (!value.isInteger() && !value.isDouble())
            JsonRead::failType(value.type(), path, "число");
        return value.toDouble();
    }
    static void encode(JsonWriter &writer, double value) { writer.number(value); }
};

template <> struct JsonCoding<QString> : JsonCodingEntry<QString>
{
    static QString decodeAt(JsonNode value, const JsonPath &path)
    {
        if (!value.isString())
            JsonRead::failType(value.type(), path, "строка");
        return value.toString();
    }
    static void encode(JsonWriter &writer, const QString &value) { writer.string(value); }
};

template <class T> struct JsonCoding<QList<T>> : JsonCodingEntry<QList<T>>
{
    // One bad element refuses the whole list.
    static QList<T> decodeAt(JsonNode value, const JsonPath &path)
    {
        if (!value.isArray())
            JsonRead::failType(value.type(), path, "массив");
        QList<T> list;
        list.reserve(value.size());
        JsonNode element = value.firstChild();
        for (qsizetype i = 0; i < value.size(); ++i, element = element.next())
            list.append(JsonCoding<T>::decodeAt(element, JsonPath(path, i)));
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

template <class V> struct JsonCoding<QMap<QString, V>> : JsonCodingEntry<QMap<QString, V>>
{
    static QMap<QString, V> decodeAt(JsonNode value, const JsonPath &path)
    {
        JsonRead::requireObject(value, path);
        QMap<QString, V> map;
        JsonNode key = value.firstChild();
        for (qsizetype i = 0; i < value.size(); ++i) {
            const JsonNode member = key.next();
            const QString name = key.toString();
            // Of duplicate keys the last one counts, as with QJsonDocument.
            map.insert(name, JsonCoding<V>::decodeAt(member, JsonPath(path, name)));
            key = member.next();
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
template <class T> T decodeJson(const QByteArray &bytes)
{
    const JsonTree tree = JsonTree::parse(bytes);
    return JsonCoding<T>::decodeAt(tree.root(), JsonPath(QString()));
}

template <class T> QByteArray encodeJson(const T &value)
{
    JsonWriter writer;
    JsonCoding<T>::encode(writer, value);
    return writer.take();
}
