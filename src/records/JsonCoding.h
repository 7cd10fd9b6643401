#pragma once

#include "DecodingError.h"
#include "JsonDocument.h"
#include "JsonNode.h"
#include "JsonPath.h"
#include "JsonWriter.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

// JSON coding of one type: `static T decode(const QJsonValue &, const QString &path)` and
// `static void encode(JsonWriter &, const T &)`. Every record, QList<T>, QString, qint64, bool,
// double, QMap<QString, QString>, QMap<QString, bool> and APIResponse<T> have one.
//
// Underneath, `decodeAt` reads a node of a JsonDocument and keeps the path as a JsonPath, so that
// nested decoders build no strings unless they fail. decodeJson() reads bytes straight from
// simdjson and is the faster route; decode() of a QJsonValue first writes it out as JSON.
template <class T> struct JsonCoding;

namespace JsonRead {
// Refuses a value that is not of the expected JSON type: Null for null, WrongType otherwise.
// `expected` names the type in the user's language.
[[noreturn]] void failType(JsonNode::Type type, const JsonPath &path, const char *expected);
[[noreturn]] void fail(DecodingError::Kind kind, const JsonPath &path, const QString &detail = {});
// Refuses anything but an object: NotAnObject (Null for null).
void requireObject(JsonNode value, const JsonPath &path);
// The JSON text of a value Qt already parsed; an undefined value fails as a missing one at `path`.
QByteArray textOf(const QJsonValue &value, const QString &path);
// For each member of an object, in order, whether a later member has the same key.
std::vector<bool> supersededMembers(JsonNode object);
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

template <class T> struct JsonCodingEntry
{
    static T decode(const QJsonValue &value, const QString &path = {})
    {
        JsonDocument document(JsonRead::textOf(value, path));
        return document.decode<T>(path);
    }
};

template <> struct JsonCoding<qint64> : JsonCodingEntry<qint64>
{
    // A number with an integral value inside the 64-bit range: 5.0 is 5; 5.5, "5", 1e30 and
    // 2^63 fail.
    static qint64 decodeAt(JsonNode value, const JsonPath &path)
    {
        qint64 number = 0;
        if (value.takeInteger(number))
            return number;
        JsonRead::failType(value.type(), path, "целое число");
    }
    static void encode(JsonWriter &writer, qint64 value) { writer.integer(value); }
};

template <> struct JsonCoding<bool> : JsonCodingEntry<bool>
{
    // true or false only, never 0 or 1.
    static bool decodeAt(JsonNode value, const JsonPath &path)
    {
        bool result = false;
        if (!value.takeBool(result))
            JsonRead::failType(value.type(), path, "true или false");
        return result;
    }
    static void encode(JsonWriter &writer, bool value) { writer.boolean(value); }
};

template <> struct JsonCoding<double> : JsonCodingEntry<double>
{
    static double decodeAt(JsonNode value, const JsonPath &path)
    {
        double number = 0.0;
        if (!value.takeReal(number))
            JsonRead::failType(value.type(), path, "число");
        return number;
    }
    static void encode(JsonWriter &writer, double value) { writer.number(value); }
};

template <> struct JsonCoding<QString> : JsonCodingEntry<QString>
{
    static QString decodeAt(JsonNode value, const JsonPath &path)
    {
        QString text;
        if (!value.takeString(text))
            JsonRead::failType(value.type(), path, "строка");
        return text;
    }
    static void encode(JsonWriter &writer, const QString &value) { writer.string(value); }
};

template <class T> struct JsonCoding<QList<T>> : JsonCodingEntry<QList<T>>
{
    // One bad element refuses the whole list.
    static QList<T> decodeAt(JsonNode value, const JsonPath &path)
    {
        const JsonNode::Type type = value.type();
        if (type != JsonNode::Type::Array)
            JsonRead::failType(type, path, "массив");
        QList<T> list;
        // Room for the elements at once, saving the moves of a growing list; bounded, so that a
        // long list whose first element already fails costs no more than that.
        list.reserve(std::min<qsizetype>(value.sizeHint(), 1024));
        value.forEachElement([&list, &path](JsonNode element, qsizetype index) {
            list.append(JsonCoding<T>::decodeAt(element, JsonPath(path, index)));
        });
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
        // Of duplicate keys the last one counts, as with QJsonDocument: a later one replaces an
        // earlier one, and an earlier one that fails is passed over. Which members a later one
        // replaces is worked out only once one fails, so that a map that reads cleanly pays nothing.
        std::vector<bool> superseded;
        qsizetype index = 0;
        value.forEachMember([&](std::string_view text, JsonNode member) {
            const std::size_t at = std::size_t(index++);
            const QString name = textFromUtf8(text);
            try {
                map.insert(name, JsonCoding<V>::decodeAt(member, JsonPath(path, name)));
            } catch (const DecodingError &) {
                if (superseded.empty())
                    superseded = JsonRead::supersededMembers(value);
                if (!superseded[at])
                    throw;
            }
        });
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
    JsonDocument document(bytes);
    return document.decode<T>();
}

template <class T> T JsonDocument::decode(const QString &path)
{
    try {
        return JsonCoding<T>::decodeAt(root(), JsonPath(path));
    } catch (const NeedsDigits &) {
        readDigits();
        return JsonCoding<T>::decodeAt(root(), JsonPath(path));
    }
}

template <class T> QByteArray encodeJson(const T &value)
{
    JsonWriter writer;
    JsonCoding<T>::encode(writer, value);
    return writer.take();
}
