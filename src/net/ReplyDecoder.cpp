#include "ReplyDecoder.h"

#include <QStringDecoder>

#include <cstdio>

namespace {

// A reply of any size must not turn into a console line of that size.
constexpr qsizetype shownRawBytes = 64 * 1024;
constexpr qsizetype validationChunk = 1024 * 1024;

// Where a piece of valid UTF-8 may end at or before limit: never inside a character.
qsizetype characterBoundary(const QByteArray &body, qsizetype limit)
{
    qsizetype cut = std::min(limit, body.size());
    while (cut < body.size() && cut > 0 && (uchar(body[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

bool isUtf8(const QByteArray &body)
{
    // In pieces cut between characters: each piece's text is dropped at once instead of doubling
    // the reply in memory. Stateless, so that a character cut off at the end counts as an error.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (qsizetype at = 0; at < body.size();) {
        qsizetype end = characterBoundary(body, at + validationChunk);
        if (end <= at)
            end = std::min(at + validationChunk, body.size());
        const QString piece = utf8.decode(QByteArrayView(body).sliced(at, end - at));
        if (utf8.hasError())
            return false;
        at = end;
    }
    return true;
}

} // namespace

const DecodingError &ReplyDecoder::valueFailure(const DecodingError &asEnvelope, const DecodingError &asValue,
                                                bool valueIsEnvelope)
{
    if (valueIsEnvelope)
        return asValue;
    // The first stage stopped at the top (not an object) or found no "success" there: no envelope.
    const bool noEnvelope = asEnvelope.path().isEmpty() || (asEnvelope.kind() == DecodingError::Kind::Missing &&
                                                            asEnvelope.path() == QLatin1String("success"));
    return noEnvelope ? asValue : asEnvelope;
}

void ReplyDecoder::reportUndecodable(const QString &details, const QByteArray &body)
{
    QByteArray line = "Decoding error details: " + details.toUtf8() + ". Raw data: ";
    if (isUtf8(body)) {
        const qsizetype cut = characterBoundary(body, shownRawBytes);
        line += QByteArrayView(body).first(cut);
        if (cut < body.size())
            line += " … (" + QByteArray::number(body.size() - cut) + " more bytes not shown)";
    }
    line += '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}
