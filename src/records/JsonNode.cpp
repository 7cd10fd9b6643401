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
        JsonNode(store(value)).skip();
    }
}

} // namespace

JsonNode::Type JsonNode::type()
{
    switch (get(load(m_storage).type())) {
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

void JsonNode::readNull()
{
    if (!get(load(m_storage).is_null()))
        fail("недопустимое значение");
}

bool JsonNode::toBool()
{
    return get(load(m_storage).get_bool());
}

JsonNode::Number JsonNode::toNumber()
{
    ondemand::value value = load(m_storage);
    const std::optional<Number> number = readJsonNumber(trimmedToken(value.raw_json_token()));
    if (!number)
        fail("недопустимое число");
    return *number;
}

QString JsonNode::toString()
{
    const std::string_view text = get(load(m_storage).get_string());
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void JsonNode::skip()
{
    ondemand::value value = load(m_storage);
    switch (type()) {
    case Type::Array:
    case Type::Object:
        // current_depth() counts the document's own wrapping array (see JsonDocument) and this value.
        walk(value, value.current_depth() - 2);
        return;
    case Type::Number:
        toNumber();
        return;
    case Type::String:
        get(value.get_string());
        return;
    case Type::Bool:
        toBool();
        return;
    case Type::Null:
        readNull();
        return;
    }
}

void JsonNode::forEachElement(void *context, void (*visit)(void *, JsonNode, qsizetype))
{
    qsizetype index = 0;
    for (auto element : get(load(m_storage).get_array()))
        visit(context, JsonNode(store(get(std::move(element)))), index++);
}

void JsonNode::forEachMember(void *context, void (*visit)(void *, std::string_view, JsonNode))
{
    for (auto member : get(load(m_storage).get_object())) {
        ondemand::field field = get(std::move(member));
        const std::string_view key = get(field.unescaped_key());
        visit(context, key, JsonNode(store(field.value())));
    }
}
