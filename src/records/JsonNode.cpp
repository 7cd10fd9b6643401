#include "JsonNode.h"

#include <cstring>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

} // namespace

QString JsonNode::toString() const
{
    const JsonTree::Node &node = data();
    const char *text = m_tree->bytes() + node.begin;
    if (!node.escaped)
        return QString::fromUtf8(text, node.length);

    // The parser has checked every escape already.
    QString result;
    result.reserve(node.length);
    const char *p = text;
    const char *end = text + node.length;
    while (p != end) {
        const char *run = p;
        while (p != end && *p != '\\')
            ++p;
        if (p != run)
            result += QString::fromUtf8(run, p - run);
        if (p == end)
            break;
        const char kind = p[1];
        p += 2;
        switch (kind) {
        case 'b':
            result += u'\b';
            break;
        case 'f':
            result += u'\f';
            break;
        case 'n':
            result += u'\n';
            break;
        case 'r':
            result += u'\r';
            break;
        case 't':
            result += u'\t';
            break;
        case 'u': {
            // UTF-16 units as written: a pair becomes one character, a lone surrogate stays.
            const auto unit = static_cast<char16_t>(hexValue(p[0]) << 12 | hexValue(p[1]) << 8 | hexValue(p[2]) << 4 |
                                                    hexValue(p[3]));
            result += QChar(unit);
            p += 4;
            break;
        }
        default: // '"', '\\', '/'
            result += QLatin1Char(kind);
        }
    }
    return result;
}

bool JsonNode::equals(QLatin1StringView text) const
{
    const JsonTree::Node &node = data();
    if (node.type != Type::String)
        return false;
    if (node.escaped)
        return toString() == text;
    return node.length == static_cast<quint32>(text.size()) &&
           std::memcmp(m_tree->bytes() + node.begin, text.data(), node.length) == 0;
}
