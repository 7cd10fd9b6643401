#include "JsonNode.h"

#include "JsonNumber.h"
#include "JsonSyntax.h"

using namespace JsonSyntax;

namespace {

// simdjson hands out a token up to the next structural character, trailing white space included.
std::string_view trimmedToken(std::string_view token)
{
    while (!token.empty() &&
           (token.back() == ' ' || token.back() == '\n' || token.back() == '\r' || token.back() == '\t'))
        token.remove_suffix(1);
    return token;
}

JsonNode onBytes(const ondemand::value &value)
{
    return JsonNode(store(value));
}

// The nesting level of the containers inside `value`, counted from the document's top level.
void walk(ondemand::value value, int level)
{
    switch (get(value.type())) {
    case ondemand::json_type::array:
        if (level + 1 > maxDepth)
            fail("слишком глубокая вложенность");
        for (auto element : get(value.get_array()))
            walk(get(std::move(element)), level + 1);
        return;
    case ondemand::json_type::object:
        if (level + 1 > maxDepth)
            fail("слишком глубокая вложенность");
        for (auto member : get(value.get_object())) {
            ondemand::field field = get(std::move(member));
            get(field.unescaped_key());
            walk(field.value(), level + 1);
        }
        return;
    default:
        onBytes(value).skip();
    }
}

// The first byte of a value, which names its kind; the value itself is left unread.
char firstByte(ondemand::value &value)
{
    const std::string_view token = value.raw_json_token();
    return token.empty() ? '\0' : token.front();
}

} // namespace

JsonNode::Type JsonNode::bytesType() const
{
    switch (get(loadValue(m_storage).type())) {
    case ondemand::json_type::array:
        return Type::Array;
    case ondemand::json_type::object:
        return Type::Object;
    case ondemand::json_type::number:
        return Type::Number;
    case ondemand::json_type::string:
        return Type::String;
    case ondemand::json_type::boolean:
        return Type::Bool;
    case ondemand::json_type::null:
        return Type::Null;
    }
    fail("недопустимое значение");
}

bool JsonNode::bytesTakeNull() const
{
    ondemand::value value = loadValue(m_storage);
    if (firstByte(value) != 'n')
        return false;
    if (!get(value.is_null()))
        fail("недопустимое значение");
    return true;
}

bool JsonNode::bytesTakeBool(bool &out) const
{
    ondemand::value value = loadValue(m_storage);
    const char first = firstByte(value);
    if (first != 't' && first != 'f')
        return false;
    out = get(value.get_bool());
    return true;
}

bool JsonNode::bytesTakeNumber(Number &out) const
{
    ondemand::value value = loadValue(m_storage);
    const char first = firstByte(value);
    if (first != '-' && (first < '0' || first > '9'))
        return false;
    const std::optional<Number> number = readJsonNumber(trimmedToken(value.raw_json_token()));
    if (!number)
        fail("недопустимое число");
    out = *number;
    return true;
}

bool JsonNode::bytesTakeString(QString &out) const
{
    std::string_view text;
    if (!bytesTakeUtf8(text))
        return false;
    out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return true;
}

bool JsonNode::bytesTakeUtf8(std::string_view &out) const
{
    ondemand::value value = loadValue(m_storage);
    if (firstByte(value) != '"')
        return false;
    out = get(value.get_string());
    return true;
}

void JsonNode::bytesSkip() const
{
    ondemand::value value = loadValue(m_storage);
    switch (type()) {
    case Type::Array:
    case Type::Object:
        // current_depth() counts the document's own wrapping array (see JsonDocument) and this value.
        walk(value, value.current_depth() - 2);
        return;
    case Type::Number: {
        Number number;
        bytesTakeNumber(number);
        return;
    }
    case Type::String:
        get(value.get_string());
        return;
    case Type::Bool: {
        bool flag = false;
        bytesTakeBool(flag);
        return;
    }
    case Type::Null:
        bytesTakeNull();
        return;
    }
}

void JsonNode::bytesForEachElement(void *context, void (*visit)(void *, JsonNode, qsizetype)) const
{
    qsizetype index = 0;
    for (auto element : get(loadValue(m_storage).get_array()))
        visit(context, onBytes(get(std::move(element))), index++);
}

void JsonNode::bytesForEachMember(void *context, void (*visit)(void *, std::string_view, JsonNode)) const
{
    for (auto member : get(loadValue(m_storage).get_object())) {
        ondemand::field field = get(std::move(member));
        const std::string_view key = get(field.unescaped_key());
        visit(context, key, onBytes(field.value()));
    }
}
