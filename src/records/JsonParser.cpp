#include "JsonParser.h"

#include "DecodingError.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

namespace {

// Deeper nesting than any reply has; bounds the parser's recursion on hostile input.
constexpr int maxDepth = 512;

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Length of the well-formed UTF-8 sequence at p (lead byte >= 0x80), or 0: no overlong forms,
// no surrogates, nothing above U+10FFFF.
int utf8SequenceLength(const unsigned char *p, const unsigned char *end)
{
    const unsigned char lead = p[0];
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        if (lead == 0xe0)
            low = 0xa0;
        else if (lead == 0xed)
            high = 0x9f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        if (lead == 0xf0)
            low = 0x90;
        else if (lead == 0xf4)
            high = 0x8f;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    if (p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xbf)
            return 0;
    }
    return length;
}

// The value of a number written with a fraction or an exponent ("5.0", "1e2", "0.1e1") when it is
// a whole number inside 64 bits, read from the digits themselves: going through a double would
// round 9007199254740993.0 to ...992 and take 1.0000000000000001 for 1.
std::optional<qint64> wholeNumber(const char *p, const char *end)
{
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::string digits;
    qint64 exponent = 0; // of the last digit
    for (; p != end && *p >= '0' && *p <= '9'; ++p)
        digits += *p;
    if (p != end && *p == '.') {
        for (++p; p != end && *p >= '0' && *p <= '9'; ++p) {
            digits += *p;
            --exponent;
        }
    }
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativeExponent = *p == '-';
        if (*p == '+' || *p == '-')
            ++p;
        qint64 written = 0;
        // Beyond this the value is 0, or no whole number fits in 64 bits, whatever the digits.
        constexpr qint64 limit = qint64(1) << 40;
        for (; p != end && *p >= '0' && *p <= '9'; ++p)
            written = std::min(limit, written * 10 + (*p - '0'));
        exponent += negativeExponent ? -written : written;
    }
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return 0; // every digit zero, "-0.0" included
    std::size_t last = digits.size();
    while (digits[last - 1] == '0') {
        --last;
        ++exponent;
    }
    if (exponent < 0)
        return std::nullopt; // a fraction remains
    const auto significant = static_cast<qint64>(last - first);
    if (significant + exponent > 19)
        return std::nullopt; // at least 10^19: beyond 64 bits
    std::string text = negative ? "-" : "";
    text.append(digits, first, last - first);
    text.append(static_cast<std::size_t>(exponent), '0');
    qint64 value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

class Parser
{
public:
    Parser(const QByteArray &bytes, std::vector<JsonTree::Node> &nodes)
        : m_begin(bytes.constData()), m_p(bytes.constData()), m_end(bytes.constData() + bytes.size()), m_nodes(nodes)
    {
    }

    void document()
    {
        if (m_end - m_begin >= std::numeric_limits<quint32>::max())
            fail("слишком большой объём данных");
        // A byte-order mark, which a PHP file saved with one puts before every reply: JSON
        // readers may ignore it, and Qt's parser and the platform's decoder do.
        if (m_end - m_p >= 3 && std::memcmp(m_p, "\xef\xbb\xbf", 3) == 0)
            m_p += 3;
        skipSpace();
        value(0);
        skipSpace();
        if (m_p != m_end)
            fail("лишние данные после значения");
    }

private:
    [[noreturn]] void fail(const char *reason) const
    {
        throw DecodingError(DecodingError::Kind::InvalidJson, QString(),
                            QStringLiteral("%1, позиция %2").arg(QString::fromUtf8(reason)).arg(m_p - m_begin));
    }

    void skipSpace()
    {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    quint32 offset() const { return static_cast<quint32>(m_p - m_begin); }

    quint32 add(JsonTree::Type type) { return JsonTree::appendNode(m_nodes, type); }
    void finish(quint32 index) { JsonTree::closeNode(m_nodes, index); }

    void literal(const char *text, JsonTree::Type type)
    {
        const std::size_t length = std::strlen(text);
        if (static_cast<std::size_t>(m_end - m_p) < length || std::memcmp(m_p, text, length) != 0)
            fail("недопустимое значение");
        m_p += length;
        finish(add(type));
    }

    void value(int depth)
    {
        if (m_p == m_end)
            fail("неожиданный конец данных");
        switch (*m_p) {
        case '{':
            container(JsonTree::Type::Object, depth + 1, '}', "ожидается запятая или конец объекта",
                      [this, depth] { member(depth + 1); });
            return;
        case '[':
            container(JsonTree::Type::Array, depth + 1, ']', "ожидается запятая или конец массива",
                      [this, depth] { value(depth + 1); });
            return;
        case '"':
            string();
            return;
        case 't':
            literal("true", JsonTree::Type::True);
            return;
        case 'f':
            literal("false", JsonTree::Type::False);
            return;
        case 'n':
            literal("null", JsonTree::Type::Null);
            return;
        default:
            if (*m_p == '-' || (*m_p >= '0' && *m_p <= '9')) {
                number();
                return;
            }
            fail("недопустимое значение");
        }
    }

    // An object or an array at `depth`, from its opening bracket to `closer`: its node, holding
    // the count of what `item` reads (a member or an element) between the commas.
    template <class Item> void container(JsonTree::Type type, int depth, char closer, const char *expected, Item item)
    {
        if (depth > maxDepth)
            fail("слишком глубокая вложенность");
        const quint32 index = add(type);
        ++m_p;
        skipSpace();
        quint32 count = 0;
        if (m_p != m_end && *m_p == closer) {
            ++m_p;
        } else {
            for (;;) {
                item();
                ++count;
                skipSpace();
                if (m_p != m_end && *m_p == ',') {
                    ++m_p;
                    skipSpace();
                    continue;
                }
                if (m_p == m_end || *m_p != closer)
                    fail(expected);
                ++m_p;
                break;
            }
        }
        m_nodes[index].length = count;
        finish(index);
    }

    void member(int depth)
    {
        if (m_p == m_end || *m_p != '"')
            fail("ожидается имя поля");
        string();
        skipSpace();
        if (m_p == m_end || *m_p != ':')
            fail("ожидается двоеточие");
        ++m_p;
        skipSpace();
        value(depth);
    }

    void string()
    {
        ++m_p; // the opening quote
        const quint32 index = add(JsonTree::Type::String);
        const quint32 begin = offset();
        bool escaped = false;
        for (;;) {
            if (m_p == m_end)
                fail("незакрытая строка");
            const auto byte = static_cast<unsigned char>(*m_p);
            if (byte == '"')
                break;
            if (byte == '\\') {
                escaped = true;
                if (m_end - m_p < 2)
                    fail("незакрытая строка");
                switch (m_p[1]) {
                case '"':
                case '\\':
                case '/':
                case 'b':
                case 'f':
                case 'n':
                case 'r':
                case 't':
                    m_p += 2;
                    break;
                case 'u':
                    if (m_end - m_p < 6 || hexDigit(m_p[2]) < 0 || hexDigit(m_p[3]) < 0 || hexDigit(m_p[4]) < 0 ||
                        hexDigit(m_p[5]) < 0)
                        fail("недопустимая escape-последовательность");
                    m_p += 6;
                    break;
                default:
                    fail("недопустимая escape-последовательность");
                }
            } else if (byte < 0x20) {
                fail("управляющий символ в строке");
            } else if (byte < 0x80) {
                ++m_p;
            } else {
                const int length = utf8SequenceLength(reinterpret_cast<const unsigned char *>(m_p),
                                                      reinterpret_cast<const unsigned char *>(m_end));
                if (length == 0)
                    fail("недопустимый UTF-8");
                m_p += length;
            }
        }
        JsonTree::Node &node = m_nodes[index];
        node.begin = begin;
        node.length = offset() - begin;
        node.escaped = escaped;
        ++m_p; // the closing quote
        finish(index);
    }

    bool atDigit() const { return m_p != m_end && *m_p >= '0' && *m_p <= '9'; }

    void skipDigits()
    {
        while (atDigit())
            ++m_p;
    }

    void number()
    {
        const char *start = m_p;
        bool integral = true;
        if (*m_p == '-')
            ++m_p;
        if (m_p == m_end)
            fail("недопустимое число");
        if (*m_p == '0') {
            ++m_p;
        } else if (*m_p >= '1' && *m_p <= '9') {
            skipDigits();
        } else {
            fail("недопустимое число");
        }
        if (m_p != m_end && *m_p == '.') {
            integral = false;
            ++m_p;
            if (!atDigit())
                fail("недопустимое число");
            skipDigits();
        }
        if (m_p != m_end && (*m_p == 'e' || *m_p == 'E')) {
            integral = false;
            ++m_p;
            if (m_p != m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            if (!atDigit())
                fail("недопустимое число");
            skipDigits();
        }

        const quint32 index = add(JsonTree::Type::Integer);
        JsonTree::Node &node = m_nodes[index];
        if (integral) {
            const auto result = std::from_chars(start, m_p, node.integer);
            if (result.ec == std::errc() && result.ptr == m_p) {
                node.number = static_cast<double>(node.integer);
                finish(index);
                return;
            }
        }
        // The double as written ("-0.0" keeps its sign) for a double field, and for an integer
        // field only a whole number inside 64 bits: never -9223372036854775809, which Qt would
        // round to the smallest integer.
        const auto result = std::from_chars(start, m_p, node.number);
        if (result.ec != std::errc() || result.ptr != m_p)
            fail("число вне допустимого диапазона");
        const std::optional<qint64> whole = integral ? std::nullopt : wholeNumber(start, m_p);
        if (whole)
            node.integer = *whole;
        else
            node.type = JsonTree::Type::Double;
        finish(index);
    }

    const char *m_begin;
    const char *m_p;
    const char *m_end;
    std::vector<JsonTree::Node> &m_nodes;
};

} // namespace

void JsonParser::parse(const QByteArray &bytes, std::vector<JsonTree::Node> &nodes)
{
    Parser(bytes, nodes).document();
}
