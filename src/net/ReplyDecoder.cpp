#include "ReplyDecoder.h"

#include <QStringDecoder>

#include <cstdio>

void ReplyDecoder::reportUndecodable(const QString &details, const QByteArray &body)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString raw = utf8.decode(body);
    if (utf8.hasError())
        raw.clear();
    const QByteArray line = (QStringLiteral("Decoding error details: ") + details + QStringLiteral(". Raw data: ") + raw)
                                .toUtf8()
                            + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}
