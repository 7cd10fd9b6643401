#include "JsonDocument.h"
#include "JsonNode.h"
#include "JsonTextCache.h"

#include <cmath>

QString JsonNode::tapeText(std::string_view utf8) const
{
    return m_tape->texts->text(utf8);
}

double JsonNode::tapeDouble(double real)
{
    // The tape keeps the double, not the digits. A whole double may stand for a whole number
    // written with a fraction or an exponent ("5.0"), which an integer field takes, or for one
    // that is not quite whole, which it refuses; zero also for a number below the double range,
    // which is no JSON here. Only the bytes can tell, so those are read from them.
    if (std::trunc(real) == real)
        throw JsonDocument::NeedsDigits();
    return real;
}

bool JsonNode::holdsDoubtfulNumber(const Tape &tape, std::size_t begin, std::size_t end)
{
    for (std::size_t i = begin; i < end;) {
        const JsonNode node(&tape, i);
        if (node.kind() == 'd' && node.next<double>() == 0.0)
            return true;
        const char kind = node.kind();
        i += kind == 'd' || kind == 'l' || kind == 'u' ? 2 : 1;
    }
    return false;
}

void JsonNode::tapeSkip() const
{
    // A member no record reads may hold the one number the tape cannot judge.
    if (holdsDoubtfulNumber(*m_tape, m_index, after()))
        throw JsonDocument::NeedsDigits();
}
