#include "ParseCost.h"

#include <cstring>

namespace {

// The reader's bytes per token index, per value slot, and per text beyond its characters.
constexpr qint64 indexBytes = 4;
constexpr qint64 slotBytes = 8;
constexpr qint64 textOverhead = 5;

// Where the text that begins at `at` ends: its closing quote, or `end`. Most of a reply's bytes are
// texts, so they are passed over by memchr.
const char *closingQuote(const char *at, const char *end)
{
    while (at < end) {
        const auto *quote = static_cast<const char *>(std::memchr(at, '"', std::size_t(end - at)));
        if (!quote)
            return end;
        // Escaped when an odd run of backslashes stands before it.
        const char *before = quote;
        while (before > at && before[-1] == '\\')
            --before;
        if ((quote - before) % 2 == 0)
            return quote;
        at = quote + 1;
    }
    return end;
}

} // namespace

qint64 ParseCost::estimate(QByteArrayView json)
{
    qint64 tokens = 0;
    qint64 valueSlots = 0;
    qint64 textBytes = 0;
    bool inScalar = false;
    const char *at = json.data();
    const char *const end = at + json.size();
    while (at < end) {
        const char c = *at++;
        switch (c) {
        case '"': {
            // A text: one token, one slot, its bytes and a length and terminator beside them.
            ++tokens;
            ++valueSlots;
            const char *const start = at;
            at = closingQuote(at, end);
            textBytes += (at - start) + textOverhead;
            ++at;
            inScalar = false;
            break;
        }
        case '{':
        case '[':
            // A container takes a slot where it opens and one where it closes.
            ++tokens;
            valueSlots += 2;
            inScalar = false;
            break;
        case '}':
        case ']':
        case ',':
        case ':':
            ++tokens;
            inScalar = false;
            break;
        case ' ':
        case '\t':
        case '\n':
        case '\r':
            inScalar = false;
            break;
        default:
            if (!inScalar) {
                // A number takes two valueSlots (a tag, then its value), true, false and null one.
                ++tokens;
                valueSlots += (c == '-' || (c >= '0' && c <= '9')) ? 2 : 1;
                inScalar = true;
            }
            break;
        }
    }
    return tokens * indexBytes + valueSlots * slotBytes + textBytes;
}

std::optional<DecodingError> ParseCost::refusal(const QByteArray &body)
{
    if (body.size() < checkedFrom || estimate(body) <= maxFactor * body.size())
        return std::nullopt;
    return DecodingError(DecodingError::Kind::InvalidJson, QString(), QStringLiteral("слишком большой объём данных"));
}
