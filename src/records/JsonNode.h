#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <string_view>
#include <vector>

class JsonTextCache;
class JsonValueCache;

// One value of a JsonDocument, parsed and checked whole beforehand: reads cannot meet bytes that
// are not JSON. Cheap to copy; valid while its document lives.
//
// The value is a simdjson DOM element, read through simdjson's public API only. It is kept
// behind this class so that only the records' source files pay for simdjson's header, which is
// larger than the rest of a record's includes together.
class JsonNode
{
public:
    enum class Type : quint8 { Null, Bool, Number, String, Array, Object };

    Type type() const;

    // Each reads the value when it is of its kind and says whether it was, in one look instead
    // of a type() and a read; a value of another kind is left unread, for the caller to name its
    // type() in the failure.
    bool takeNull() const;
    bool takeBool(bool &out) const;
    // A number whose exact value is whole and inside 64 bits, however it is written ("5.0",
    // "1e2"); "5.5", "1.0000000000000000001" and 2^63 are numbers but no integers.
    bool takeInteger(qint64 &out) const;
    // Any number, as the nearest double.
    bool takeReal(double &out) const;
    bool takeString(QString &out) const;
    // As takeString, but the text as UTF-8 bytes, valid while the document lives: for values
    // compared against a few known names, where making a QString would be wasted.
    bool takeUtf8(std::string_view &out) const;

    // A hash of the value's JSON, for JsonValueCache; 0 for a value whose digits may matter (a
    // whole-valued fraction), which is never shared.
    std::size_t contentHash() const;
    // Whether the other value's JSON reads the same as this one's: the same members in the same
    // order, the same texts and numbers.
    bool sameContent(const JsonNode &other) const;
    // Values decoded from this node's document, shared by their JSON.
    JsonValueCache &values() const { return *m_context->values; }

    // How many elements an array holds, where that is known before reading them; 0 otherwise.
    qsizetype sizeHint() const;

    // `visit(JsonNode element, qsizetype index)` for each element of an array, in order.
    template <class Visit> void forEachElement(Visit &&visit) const
    {
        eachElement(&visit, [](void *context, const JsonNode &element, qsizetype index) {
            (*static_cast<Visit *>(context))(element, index);
        });
    }

    // `visit(std::string_view key, JsonNode value)` for each member of an object, in order. The
    // key is unescaped UTF-8, valid while the document lives.
    template <class Visit> void forEachMember(Visit &&visit) const
    {
        eachMember(&visit, [](void *context, std::string_view key, const JsonNode &value) {
            (*static_cast<Visit *>(context))(key, value);
        });
    }

    // What one document's nodes share.
    struct Context
    {
        // Where texts are made: texts that repeat in one document are shared.
        JsonTextCache *texts = nullptr;
        // The written form of every number in document order, once a document needs it (see
        // JsonDocument); the nodes then also count the numbers before them.
        const std::vector<std::string_view> *numbers = nullptr;
        JsonValueCache *values = nullptr;
    };

    // simdjson's element: a document and a place in it.
    struct Element
    {
        alignas(8) unsigned char bytes[16];
    };
    JsonNode(const Element &element, const Context *context, std::size_t numbersBefore = 0)
        : m_element(element), m_context(context), m_numbersBefore(numbersBefore)
    {
    }

private:
    void eachElement(void *context, void (*visit)(void *, const JsonNode &, qsizetype)) const;
    void eachMember(void *context, void (*visit)(void *, std::string_view, const JsonNode &)) const;

    Element m_element;
    const Context *m_context;
    // Counted only where the context holds the numbers' written forms.
    std::size_t m_numbersBefore;
};

// A text from UTF-8 that keeps every character: QString::fromUtf8 takes a leading U+FEFF for a
// byte-order mark and drops it, which would change a member's text each time it is read.
QString textFromUtf8(std::string_view utf8);
