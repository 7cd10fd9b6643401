#include "JsonCoding.h"

namespace JsonRead {

void failType(JsonNode::Type type, const JsonPath &path, const char *expected)
{
    if (type == JsonNode::Type::Undefined)
        fail(DecodingError::Kind::Missing, path);
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
    if (value.isObject())
        return;
    if (value.isUndefined())
        fail(DecodingError::Kind::Missing, path);
    if (value.isNull())
        fail(DecodingError::Kind::Null, path);
    fail(DecodingError::Kind::NotAnObject, path);
}

} // namespace JsonRead
