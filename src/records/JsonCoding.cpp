#include "JsonCoding.h"

#include <QCborValue>

#include <cmath>
#include <string_view>
#include <unordered_set>

namespace {

void write(JsonWriter &writer, const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        writer.boolean(value.toBool());
        return;
    case QJsonValue::Double: {
        // Qt keeps a 64-bit integer exact underneath: write it as one.
        const QCborValue number = QCborValue::fromJsonValue(value);
        if (number.isInteger())
            writer.integer(number.toInteger());
        else
            writer.number(number.toDouble());
        return;
    }
    case QJsonValue::String:
        writer.string(value.toString());
        return;
    case QJsonValue::Array:
        writer.beginArray();
        for (const QJsonValue element : value.toArray())
            write(writer, element);
        writer.endArray();
        return;
    case QJsonValue::Object: {
        const QJsonObject object = value.toObject();
        writer.beginObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            writer.key(it.key());
            write(writer, it.value());
        }
        writer.endObject();
        return;
    }
    default:
        writer.null();
    }
}

} // namespace

namespace JsonRead {

void failType(JsonNode::Type type, const JsonPath &path, const char *expected)
{
    if (type == JsonNode::Type::Null)
        fail(DecodingError::Kind::Null, path);
    fail(DecodingError::Kind::WrongType, path, QString::fromUtf8(expected));
}

void fail(DecodingError::Kind kind, const JsonPath &path, const QString &detail)
{
    throw DecodingError(kind, path.toString(), detail);
}

void requireObject(JsonNode value, const JsonPath &path)
{
    const JsonNode::Type type = value.type();
    if (type == JsonNode::Type::Object)
        return;
    if (type == JsonNode::Type::Null)
        fail(DecodingError::Kind::Null, path);
    fail(DecodingError::Kind::NotAnObject, path);
}

QByteArray textOf(const QJsonValue &value, const QString &path)
{
    if (value.isUndefined())
        throw DecodingError(DecodingError::Kind::Missing, path);
    JsonWriter writer;
    write(writer, value);
    return writer.take();
}

std::vector<bool> supersededMembers(JsonNode object)
{
    std::vector<std::string_view> keys;
    object.forEachMember([&keys](std::string_view key, JsonNode) { keys.push_back(key); });
    // Keys are unescaped and checked UTF-8, so equal texts are equal bytes.
    std::unordered_set<std::string_view> later;
    std::vector<bool> superseded(keys.size());
    for (std::size_t i = keys.size(); i-- > 0;)
        superseded[i] = !later.insert(keys[i]).second;
    return superseded;
}

} // namespace JsonRead
