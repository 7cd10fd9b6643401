#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstring>
#include <string_view>

// The name of one member of a JSON object, as written; valid during the visit that hands it out.
class JsonKey
{
public:
    JsonKey(const char *raw, void *field) : m_raw(reinterpret_cast<const unsigned char *>(raw)), m_field(field) {}

    // Whether it is written exactly as `text`, an ASCII name shorter than the buffer's padding, with
    // no escapes; a name spelt with escapes is told by hasEscapes() and read by unescaped().
    bool isWritten(QLatin1StringView text) const
    {
        const auto length = static_cast<std::size_t>(text.size());
        return std::memcmp(m_raw, text.data(), length) == 0 && m_raw[length] == '"';
    }
    bool hasEscapes() const;
    // UTF-8, escapes read; valid while the document lives.
    std::string_view unescaped() const;

private:
    const unsigned char *m_raw; // after the opening quote
    void *m_field;
};

// One value of a JsonDocument, read forward: each value is read once, in document order, and a
// value left unread is skipped. Cheap to copy; valid while its document lives. simdjson stays
// behind this class so that only its source file pays for the parser's header.
//
// Every read throws DecodingError (InvalidJson) when the bytes under it are not JSON.
class JsonNode
{
public:
    enum class Type : quint8 { Null, Bool, Number, String, Array, Object };

    // A number: an integer when its exact value is whole and inside 64 bits, however it is written
    // ("5.0", "1e2"); always also the nearest double.
    struct Number
    {
        bool isInteger = false;
        qint64 integer = 0;
        double real = 0.0;
    };

    Type type()
    {
        if (!m_typeKnown) {
            m_type = readType();
            m_typeKnown = true;
        }
        return m_type;
    }

    // Reads the literal under a value whose type() said so.
    void readNull();
    bool toBool();
    Number toNumber();
    QString toString();

    // Walks the whole value, checking that it is JSON and not nested too deep; its content is
    // dropped. Used for members that no record reads.
    void skip();

    // `visit(JsonNode element, qsizetype index)` for each element of an array, in order.
    template <class Visit> void forEachElement(Visit &&visit)
    {
        forEachElement(&visit, [](void *context, JsonNode element, qsizetype index) {
            (*static_cast<Visit *>(context))(element, index);
        });
    }

    // `visit(const JsonKey &key, JsonNode value)` for each member of an object, in order.
    template <class Visit> void forEachMember(Visit &&visit)
    {
        forEachMember(&visit, [](void *context, const JsonKey &key, JsonNode value) {
            (*static_cast<Visit *>(context))(key, value);
        });
    }

    // The storage of simdjson's value cursor, for the document that hands out the root.
    static constexpr std::size_t storageSize = 24;
    struct Storage
    {
        alignas(8) unsigned char bytes[storageSize];
    };
    explicit JsonNode(const Storage &storage) : m_storage(storage) {}
    const Storage &storage() const { return m_storage; }

private:
    void forEachElement(void *context, void (*visit)(void *, JsonNode, qsizetype));
    void forEachMember(void *context, void (*visit)(void *, const JsonKey &, JsonNode));
    Type readType();

    Storage m_storage;
    // Decoders ask before they read; simdjson is asked once.
    bool m_typeKnown = false;
    Type m_type = Type::Null;
};
