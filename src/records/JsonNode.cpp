#include "JsonNode.h"

#include "JsonDocument.h"
#include "JsonNumber.h"
#include "JsonSyntax.h"
#include "JsonTextCache.h"

#include <cmath>

using namespace JsonSyntax;

namespace {

// How many numbers a value holds, itself included.
std::size_t numbersIn(const dom::element &element)
{
    switch (element.type()) {
    case dom::element_type::ARRAY: {
        std::size_t count = 0;
        const dom::array array = element.get_array().value_unsafe();
        for (const dom::element child : array)
            count += numbersIn(child);
        return count;
    }
    case dom::element_type::OBJECT: {
        std::size_t count = 0;
        const dom::object object = element.get_object().value_unsafe();
        for (const dom::key_value_pair member : object)
            count += numbersIn(member.value);
        return count;
    }
    case dom::element_type::INT64:
    case dom::element_type::UINT64:
    case dom::element_type::DOUBLE:
        return 1;
    default:
        return 0;
    }
}

std::size_t mix(std::size_t hash, std::uint64_t word)
{
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    return hash ^ (hash >> 29);
}

// A text's length and its first and last eight bytes: enough to tell apart the values of one
// reply's records at a fraction of a full hash; sameContent() compares them whole.
std::size_t mixText(std::size_t hash, std::string_view text)
{
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    if (text.size() >= sizeof head) {
        std::memcpy(&head, text.data(), sizeof head);
        std::memcpy(&tail, text.data() + text.size() - sizeof tail, sizeof tail);
    } else {
        std::memcpy(&head, text.data(), text.size());
    }
    return mix(mix(mix(hash, text.size()), head), tail);
}

bool isWholeDouble(const dom::element &element)
{
    if (element.type() != dom::element_type::DOUBLE)
        return false;
    const double real = element.get_double().value_unsafe();
    return std::trunc(real) == real;
}

// 0 when the value holds a whole double.
std::size_t hashOf(const dom::element &element, std::size_t hash)
{
    const auto type = element.type();
    hash = mix(hash, static_cast<std::uint64_t>(type));
    switch (type) {
    case dom::element_type::ARRAY: {
        const dom::array array = element.get_array().value_unsafe();
        for (const dom::element child : array) {
            if ((hash = hashOf(child, hash)) == 0)
                return 0;
        }
        return hash;
    }
    case dom::element_type::OBJECT: {
        const dom::object object = element.get_object().value_unsafe();
        for (const dom::key_value_pair member : object) {
            hash = mixText(hash, member.key);
            if ((hash = hashOf(member.value, hash)) == 0)
                return 0;
        }
        return hash;
    }
    case dom::element_type::STRING: {
        return mixText(hash, element.get_string().value_unsafe());
    }
    case dom::element_type::INT64: {
        return mix(hash, static_cast<std::uint64_t>(element.get_int64().value_unsafe()));
    }
    case dom::element_type::UINT64: {
        return mix(hash, element.get_uint64().value_unsafe());
    }
    case dom::element_type::DOUBLE: {
        if (isWholeDouble(element))
            return 0;
        const double real = element.get_double().value_unsafe();
        std::uint64_t bits = 0;
        std::memcpy(&bits, &real, sizeof bits);
        return mix(hash, bits);
    }
    case dom::element_type::BOOL: {
        return mix(hash, element.get_bool().value_unsafe() ? 2 : 1);
    }
    case dom::element_type::NULL_VALUE:
        break;
    }
    return hash;
}

bool same(const dom::element &a, const dom::element &b)
{
    const auto type = a.type();
    if (type != b.type())
        return false;
    switch (type) {
    case dom::element_type::ARRAY: {
        const dom::array first = a.get_array().value_unsafe();
        const dom::array second = b.get_array().value_unsafe();
        auto it = second.begin();
        for (const dom::element child : first) {
            if (it == second.end() || !same(child, *it))
                return false;
            ++it;
        }
        return it == second.end();
    }
    case dom::element_type::OBJECT: {
        const dom::object first = a.get_object().value_unsafe();
        const dom::object second = b.get_object().value_unsafe();
        auto it = second.begin();
        for (const dom::key_value_pair member : first) {
            if (it == second.end() || member.key != it.key() || !same(member.value, it.value()))
                return false;
            ++it;
        }
        return it == second.end();
    }
    case dom::element_type::STRING:
        return a.get_string().value_unsafe() == b.get_string().value_unsafe();
    case dom::element_type::INT64:
        return a.get_int64().value_unsafe() == b.get_int64().value_unsafe();
    case dom::element_type::UINT64:
        return a.get_uint64().value_unsafe() == b.get_uint64().value_unsafe();
    case dom::element_type::DOUBLE: {
        const double x = a.get_double().value_unsafe();
        const double y = b.get_double().value_unsafe();
        return !isWholeDouble(a) && std::memcmp(&x, &y, sizeof x) == 0;
    }
    case dom::element_type::BOOL:
        return a.get_bool().value_unsafe() == b.get_bool().value_unsafe();
    case dom::element_type::NULL_VALUE:
        break;
    }
    return true;
}

} // namespace

std::size_t JsonNode::contentHash() const
{
    return hashOf(load(m_element), 0xcbf29ce484222325ull);
}

bool JsonNode::sameContent(const JsonNode &other) const
{
    return same(load(m_element), load(other.m_element));
}

JsonNode::Type JsonNode::type() const
{
    switch (load(m_element).type()) {
    case dom::element_type::ARRAY:
        return Type::Array;
    case dom::element_type::OBJECT:
        return Type::Object;
    case dom::element_type::INT64:
    case dom::element_type::UINT64:
    case dom::element_type::DOUBLE:
        return Type::Number;
    case dom::element_type::STRING:
        return Type::String;
    case dom::element_type::BOOL:
        return Type::Bool;
    case dom::element_type::NULL_VALUE:
        break;
    }
    return Type::Null;
}

bool JsonNode::takeNull() const
{
    return load(m_element).is_null();
}

bool JsonNode::takeBool(bool &out) const
{
    return !load(m_element).get_bool().get(out);
}

bool JsonNode::takeInteger(qint64 &out) const
{
    const dom::element element = load(m_element);
    switch (element.type()) {
    case dom::element_type::INT64:
        out = element.get_int64().value_unsafe();
        return true;
    case dom::element_type::DOUBLE: {
        // The parser keeps a double, not the digits. A whole double may stand for a whole number
        // written with a fraction or an exponent ("5.0"), which is an integer, or for one that is
        // not quite whole ("1.0000000000000000001") or has more digits than a double holds: only
        // the digits can tell.
        const double real = element.get_double().value_unsafe();
        if (std::trunc(real) != real)
            return false;
        if (!m_context->numbers)
            throw JsonDocument::NeedsDigits();
        const std::optional<qint64> whole = readWholeNumber((*m_context->numbers)[m_numbersBefore]);
        if (whole)
            out = *whole;
        return whole.has_value();
    }
    default:
        // UINT64: whole, but wider than 64 signed bits.
        return false;
    }
}

bool JsonNode::takeReal(double &out) const
{
    const dom::element element = load(m_element);
    switch (element.type()) {
    case dom::element_type::INT64:
        out = static_cast<double>(element.get_int64().value_unsafe());
        return true;
    case dom::element_type::UINT64:
        out = static_cast<double>(element.get_uint64().value_unsafe());
        return true;
    case dom::element_type::DOUBLE:
        out = element.get_double().value_unsafe();
        return true;
    default:
        return false;
    }
}

bool JsonNode::takeString(QString &out) const
{
    std::string_view text;
    if (!takeUtf8(text))
        return false;
    out = m_context->texts->text(text);
    return true;
}

bool JsonNode::takeUtf8(std::string_view &out) const
{
    return !load(m_element).get_string().get(out);
}

qsizetype JsonNode::sizeHint() const
{
    const dom::element element = load(m_element);
    // simdjson's count stops at 0xFFFFFF; a hint needs no more.
    dom::array array;
    return element.get_array().get(array) ? 0 : static_cast<qsizetype>(array.size());
}

void JsonNode::eachElement(void *context, void (*visit)(void *, const JsonNode &, qsizetype)) const
{
    dom::array array;
    if (load(m_element).get_array().get(array))
        return;
    qsizetype index = 0;
    std::size_t numbers = m_numbersBefore;
    for (const dom::element child : array) {
        visit(context, JsonNode(store(child), m_context, numbers), index++);
        if (m_context->numbers)
            numbers += numbersIn(child);
    }
}

void JsonNode::eachMember(void *context, void (*visit)(void *, std::string_view, const JsonNode &)) const
{
    dom::object object;
    if (load(m_element).get_object().get(object))
        return;
    std::size_t numbers = m_numbersBefore;
    for (const dom::key_value_pair member : object) {
        visit(context, member.key, JsonNode(store(member.value), m_context, numbers));
        if (m_context->numbers)
            numbers += numbersIn(member.value);
    }
}

QString textFromUtf8(std::string_view utf8)
{
    static constexpr std::string_view mark = "\xef\xbb\xbf";
    if (utf8.substr(0, mark.size()) != mark)
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    qsizetype marks = 0;
    while (utf8.substr(0, mark.size()) == mark) {
        utf8.remove_prefix(mark.size());
        ++marks;
    }
    return QString(marks, QChar(0xFEFF)) + QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
