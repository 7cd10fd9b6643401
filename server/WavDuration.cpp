#include "WavDuration.h"

#include <QFile>
#include <QtEndian>

#include <cmath>

namespace {
quint32 le32(const char *bytes)
{
    return qFromLittleEndian<quint32>(bytes);
}
} // namespace

std::optional<qint64> WavDuration::seconds(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return std::nullopt;

    quint32 byteRate = 0;
    std::optional<qint64> dataSize;
    // Chunks follow one another, each padded to an even length; only the two needed are read, and
    // only among the first few, so that a file of countless empty chunks costs no more than a real one.
    for (int walked = 0; !dataSize && walked < MaxChunks; ++walked) {
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            break;
        const quint32 size = le32(header.constData() + 4);
        const qint64 body = file.pos();
        if (header.startsWith("fmt ")) {
            const QByteArray format = file.read(16);
            if (format.size() < 16)
                return std::nullopt;
            byteRate = le32(format.constData() + 8);
        } else if (header.startsWith("data")) {
            // A recorder that never finished writing leaves the size open: count what is there.
            dataSize = std::min<qint64>(size, file.size() - body);
            break;
        }
        if (!file.seek(body + qint64(size) + (size % 2)))
            break;
    }
    if (!dataSize || byteRate == 0)
        return std::nullopt;
    const qint64 whole = std::llround(double(*dataSize) / double(byteRate));
    // A sound shorter than half a second still lasts: 0 would mark a live stream.
    return *dataSize > 0 ? std::max<qint64>(whole, 1) : 0;
}
