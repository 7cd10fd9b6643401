#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class JsonTextCache;

// One value of a JsonDocument, read forward: each value is read once, in document order, and a
// value left unread is skipped. Cheap to copy; valid while its document lives.
//
// A node stands either on the document's tape (checked JSON, parsed whole; see JsonDocument) or
// on its bytes, read as they come. Reads on the tape are inline: they are most of a reply's
// decoding. Reads on the bytes go through simdjson's reader, kept behind this class so that only
// its source files pay for the parser's header; each throws DecodingError (InvalidJson) when the
// bytes under it are not JSON.
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

    // One document's tape, as simdjson lays it out: a 64-bit word for each value, its kind in the
    // top byte and a payload below (a text's offset into `strings`, where a 32-bit length comes
    // first; a container's index one past its end); a number's value in the word after it.
    struct Tape
    {
        const std::uint64_t *words = nullptr;
        const char *strings = nullptr;
        // Where texts are made: texts that repeat in one document are shared.
        JsonTextCache *texts = nullptr;
    };

    Type type() const
    {
        if (!m_tape)
            return bytesType();
        switch (kind()) {
        case '[':
            return Type::Array;
        case '{':
            return Type::Object;
        case 'l':
        case 'u':
        case 'd':
            return Type::Number;
        case '"':
            return Type::String;
        case 't':
        case 'f':
            return Type::Bool;
        default:
            return Type::Null;
        }
    }

    // Each reads the value when it is of its kind and says whether it was, in one look instead
    // of a type() and a read; a value of another kind is left unread, for the caller to name its
    // type() in the failure.
    bool takeNull()
    {
        if (!m_tape)
            return bytesTakeNull();
        return kind() == 'n';
    }

    bool takeBool(bool &out)
    {
        if (!m_tape)
            return bytesTakeBool(out);
        const char k = kind();
        if (k != 't' && k != 'f')
            return false;
        out = k == 't';
        return true;
    }

    bool takeNumber(Number &out)
    {
        if (!m_tape)
            return bytesTakeNumber(out);
        switch (kind()) {
        case 'l':
            out.isInteger = true;
            out.integer = next<qint64>();
            out.real = static_cast<double>(out.integer);
            return true;
        case 'u':
            // Whole, but wider than 64 signed bits: a number, never an integer.
            out.isInteger = false;
            out.integer = 0;
            out.real = static_cast<double>(next<quint64>());
            return true;
        case 'd':
            out.isInteger = false;
            out.integer = 0;
            out.real = tapeDouble(next<double>());
            return true;
        default:
            return false;
        }
    }

    bool takeString(QString &out)
    {
        if (!m_tape)
            return bytesTakeString(out);
        std::string_view text;
        if (!takeUtf8(text))
            return false;
        out = tapeText(text);
        return true;
    }

    // As takeString, but the text as UTF-8 bytes, valid while the document lives: for values
    // compared against a few known names, where making a QString would be wasted.
    bool takeUtf8(std::string_view &out)
    {
        if (!m_tape)
            return bytesTakeUtf8(out);
        if (kind() != '"')
            return false;
        out = textAt(m_index);
        return true;
    }

    // Walks the whole value, checking that it is JSON and not nested too deep; its content is
    // dropped. Used for members that no record reads.
    void skip()
    {
        if (m_tape)
            tapeSkip();
        else
            bytesSkip();
    }

    // How many elements an array holds, where that is known before reading them; 0 otherwise.
    qsizetype sizeHint() const
    {
        return m_tape ? static_cast<qsizetype>((m_tape->words[m_index] >> 32) & 0xFFFFFF) : 0;
    }

    // `visit(JsonNode element, qsizetype index)` for each element of an array, in order.
    template <class Visit> void forEachElement(Visit &&visit)
    {
        if (!m_tape) {
            bytesForEachElement(&visit, [](void *context, JsonNode element, qsizetype index) {
                (*static_cast<Visit *>(context))(element, index);
            });
            return;
        }
        const std::size_t end = closing();
        qsizetype index = 0;
        for (std::size_t i = m_index + 1; i < end;) {
            const JsonNode element(m_tape, i);
            i = element.after();
            visit(element, index++);
        }
    }

    // `visit(std::string_view key, JsonNode value)` for each member of an object, in order. The
    // key is unescaped UTF-8, valid while the document lives.
    template <class Visit> void forEachMember(Visit &&visit)
    {
        if (!m_tape) {
            bytesForEachMember(&visit, [](void *context, std::string_view key, JsonNode value) {
                (*static_cast<Visit *>(context))(key, value);
            });
            return;
        }
        const std::size_t end = closing();
        for (std::size_t i = m_index + 1; i < end;) {
            const std::string_view key = textAt(i);
            const JsonNode value(m_tape, i + 1);
            i = value.after();
            visit(key, value);
        }
    }

    // The storage of simdjson's cursor on the bytes, for the document that hands out the root.
    static constexpr std::size_t storageSize = 24;
    struct Storage
    {
        alignas(8) unsigned char bytes[storageSize];
    };
    explicit JsonNode(const Storage &storage) : m_storage(storage) {}
    JsonNode(const Tape *tape, std::size_t index) : m_tape(tape), m_index(index) {}

private:
    char kind() const { return static_cast<char>(m_tape->words[m_index] >> 56); }

    template <class T> T next() const
    {
        T value;
        std::memcpy(&value, &m_tape->words[m_index + 1], sizeof value);
        return value;
    }

    std::string_view textAt(std::size_t index) const
    {
        const char *text = m_tape->strings + (m_tape->words[index] & 0x00FFFFFFFFFFFFFF);
        quint32 length = 0;
        std::memcpy(&length, text, sizeof length);
        return std::string_view(text + sizeof length, length);
    }

    // The index of a container's closing word, and of the value after this one.
    std::size_t closing() const { return static_cast<quint32>(m_tape->words[m_index]) - 1; }
    std::size_t after() const
    {
        switch (kind()) {
        case '[':
        case '{':
            return closing() + 1;
        case 'l':
        case 'u':
        case 'd':
            return m_index + 2;
        default:
            return m_index + 1;
        }
    }

    // Whether the words from `begin` to `end` hold a double of zero: "0.0", or a number below the
    // double range that the tape took as zero. Its bytes decide.
    static bool holdsDoubtfulNumber(const Tape &tape, std::size_t begin, std::size_t end);
    friend class JsonDocument;

    QString tapeText(std::string_view utf8) const;
    void tapeSkip() const;
    // Throws JsonDocument::NeedsDigits where the double alone cannot stand for what was written.
    static double tapeDouble(double real);

    Type bytesType() const;
    bool bytesTakeNull() const;
    bool bytesTakeBool(bool &out) const;
    bool bytesTakeNumber(Number &out) const;
    bool bytesTakeString(QString &out) const;
    bool bytesTakeUtf8(std::string_view &out) const;
    void bytesSkip() const;
    void bytesForEachElement(void *context, void (*visit)(void *, JsonNode, qsizetype)) const;
    void bytesForEachMember(void *context, void (*visit)(void *, std::string_view, JsonNode)) const;

    // Null on the bytes.
    const Tape *m_tape = nullptr;
    union {
        Storage m_storage;
        std::size_t m_index;
    };
};
