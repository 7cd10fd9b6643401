#include "ReplyWriter.h"

#include <QString>

#include <algorithm>
#include <charconv>

namespace {
// Well-formed UTF-8 as Unicode defines it: no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
        }
        p += length;
    }
    return true;
}

char hexDigit(int value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}
} // namespace

void ReplyWriter::grow(qsizetype needed)
{
    m_out.resize(std::max({m_out.size() * 2, m_size + needed, qsizetype(256)}));
}

void ReplyWriter::separate()
{
    if (m_needsComma)
        put(',');
    m_needsComma = true;
}

void ReplyWriter::open(char bracket)
{
    separate();
    put(bracket);
    m_needsComma = false;
}

void ReplyWriter::close(char bracket)
{
    put(bracket);
    m_needsComma = true;
}

void ReplyWriter::key(const char *name)
{
    separate();
    put('"');
    put(name, qsizetype(std::strlen(name)));
    put("\":", 2);
    m_needsComma = false;
}

void ReplyWriter::string(QByteArrayView utf8, QByteArrayView plain)
{
    separate();
    put('"');
    put(plain);
    // QString::fromUtf8 also drops a leading byte-order mark.
    if (isValidUtf8(utf8) && !utf8.startsWith("\xEF\xBB\xBF"))
        escaped(utf8);
    else
        escaped(QString::fromUtf8(utf8).toUtf8());
    put('"');
}

void ReplyWriter::escaped(QByteArrayView utf8)
{
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        put(utf8.data() + plainFrom, i - plainFrom);
        plainFrom = i + 1;
        const char *named = c == '"'    ? "\\\""
                            : c == '\\' ? "\\\\"
                            : c == '\b' ? "\\b"
                            : c == '\f' ? "\\f"
                            : c == '\n' ? "\\n"
                            : c == '\r' ? "\\r"
                            : c == '\t' ? "\\t"
                                        : nullptr;
        if (named) {
            put(named, 2);
        } else {
            const char code[] = {'\\', 'u', '0', '0', hexDigit(c >> 4), hexDigit(c & 0xf)};
            put(code, sizeof(code));
        }
    }
    put(utf8.data() + plainFrom, utf8.size() - plainFrom);
}

void ReplyWriter::integer(qint64 value)
{
    separate();
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof(digits), value).ptr;
    put(digits, end - digits);
}

void ReplyWriter::boolean(bool value)
{
    separate();
    value ? put("true", 4) : put("false", 5);
}

void ReplyWriter::raw(QByteArrayView json)
{
    separate();
    put(json);
}

void ReplyWriter::list(QByteArrayView items)
{
    separate();
    put('[');
    put(items);
    put(']');
}
