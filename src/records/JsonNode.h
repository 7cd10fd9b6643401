#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <string_view>

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

    Type type();

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

    // `visit(std::string_view key, JsonNode value)` for each member of an object, in order. The
    // key is unescaped UTF-8, valid while the document lives.
    template <class Visit> void forEachMember(Visit &&visit)
    {
        forEachMember(&visit, [](void *context, std::string_view key, JsonNode value) {
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
    void forEachMember(void *context, void (*visit)(void *, std::string_view, JsonNode));

    Storage m_storage;
};
