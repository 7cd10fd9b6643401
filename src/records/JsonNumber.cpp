#include "JsonNumber.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value of a number with a fraction or an exponent when it is whole and inside 64 bits.
std::optional<qint64> wholeWithFraction(std::string_view token)
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

std::optional<qint64> readWholeNumber(std::string_view token)
{
    if (token.find_first_of(".eE") != std::string_view::npos)
        return wholeWithFraction(token);
    qint64 value = 0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size())
        return std::nullopt;
    return value;
}

std::vector<std::string_view> writtenNumbers(std::string_view json)
{
    std::vector<std::string_view> numbers;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            // To the closing quote, each backslash escaping the byte after it. Also called on text
            // the parser refused, so it stops at the end.
            for (++i; i < json.size() && json[i] != '"'; ++i)
                i += json[i] == '\\';
        } else if (c == '-' || isDigit(c)) {
            const std::size_t begin = i;
            while (i + 1 < json.size() && (isDigit(json[i + 1]) || json[i + 1] == '.' || json[i + 1] == 'e' ||
                                           json[i + 1] == 'E' || json[i + 1] == '+' || json[i + 1] == '-'))
                ++i;
            numbers.push_back(json.substr(begin, i + 1 - begin));
        }
    }
    return numbers;
}
