#include "JsonNumber.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether `token` is one JSON number, and whether it has neither fraction nor exponent.
bool wellFormed(std::string_view token, bool &integral)
{
    std::size_t i = 0;
    const std::size_t n = token.size();
    if (i < n && token[i] == '-')
        ++i;
    if (i == n)
        return false;
    if (token[i] == '0') {
        ++i;
    } else if (isDigit(token[i])) {
        while (i < n && isDigit(token[i]))
            ++i;
    } else {
        return false;
    }
    integral = true;
    if (i < n && token[i] == '.') {
        integral = false;
        if (++i == n || !isDigit(token[i]))
            return false;
        while (i < n && isDigit(token[i]))
            ++i;
    }
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        integral = false;
        ++i;
        if (i < n && (token[i] == '+' || token[i] == '-'))
            ++i;
        if (i == n || !isDigit(token[i]))
            return false;
        while (i < n && isDigit(token[i]))
            ++i;
    }
    return i == n;
}

// The value of a well-formed number with a fraction or an exponent when it is whole and inside
// 64 bits.
std::optional<qint64> wholeNumber(std::string_view token)
{
    const char *p = token.data();
    const char *end = p + token.size();
    const bool negative = *p == '-';
    if (negative)
        ++p;
    std::string digits;
    qint64 exponent = 0; // of the last digit
    for (; p != end && isDigit(*p); ++p)
        digits += *p;
    if (p != end && *p == '.') {
        for (++p; p != end && isDigit(*p); ++p) {
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
        for (; p != end && isDigit(*p); ++p)
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

} // namespace

std::optional<JsonNode::Number> readJsonNumber(std::string_view token)
{
    bool integral = false;
    if (!wellFormed(token, integral))
        return std::nullopt;
    const char *begin = token.data();
    const char *end = begin + token.size();
    JsonNode::Number number;
    if (integral) {
        const auto result = std::from_chars(begin, end, number.integer);
        if (result.ec == std::errc() && result.ptr == end) {
            number.isInteger = true;
            number.real = static_cast<double>(number.integer);
            return number;
        }
    }
    // The double as written ("-0.0" keeps its sign) for a double field, and for an integer field
    // only a whole number inside 64 bits: never -9223372036854775809, which a double would round
    // to the smallest integer.
    const auto result = std::from_chars(begin, end, number.real);
    if (result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    if (!integral) {
        if (const std::optional<qint64> whole = wholeNumber(token)) {
            number.isInteger = true;
            number.integer = *whole;
        }
    }
    return number;
}
