#include "MjpegAvi.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

namespace {
void put32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void put16(QByteArray &out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

QByteArray chunk(const char *id, const QByteArray &data)
{
    QByteArray out(id, 4);
    put32(out, quint32(data.size()));
    out += data;
    if (data.size() % 2)
        out.append('\0');
    return out;
}

QByteArray list(const char *type, const QByteArray &data)
{
    QByteArray body(type, 4);
    body += data;
    return chunk("LIST", body);
}

QByteArray jpeg(const QImage &frame)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    frame.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", 80);
    return bytes;
}
}

bool MjpegAvi::write(const QString &path, const QList<QImage> &frames, int framesPerSecond)
{
    if (frames.isEmpty())
        return false;
    const quint32 width = quint32(frames.first().width());
    const quint32 height = quint32(frames.first().height());

    QByteArray movi;
    QByteArray index;
    quint32 largest = 0;
    for (const QImage &frame : frames) {
        const QByteArray data = jpeg(frame.scaled(int(width), int(height)));
        index += "00dc";
        put32(index, 0x10); // key frame
        put32(index, quint32(4 + movi.size()));
        put32(index, quint32(data.size()));
        movi += chunk("00dc", data);
        largest = qMax(largest, quint32(data.size()));
    }

    QByteArray avih;
    put32(avih, quint32(1000000 / framesPerSecond));
    put32(avih, largest * quint32(framesPerSecond));
    put32(avih, 0);
    put32(avih, 0x10); // has index
    put32(avih, quint32(frames.size()));
    put32(avih, 0);
    put32(avih, 1);
    put32(avih, largest);
    put32(avih, width);
    put32(avih, height);
    for (int i = 0; i < 4; ++i)
        put32(avih, 0);

    QByteArray strh("vidsMJPG", 8);
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put32(strh, 0);
    put32(strh, 1);
    put32(strh, quint32(framesPerSecond));
    put32(strh, 0);
    put32(strh, quint32(frames.size()));
    put32(strh, largest);
    put32(strh, 0xFFFFFFFF);
    put32(strh, 0);
    put16(strh, 0);
    put16(strh, 0);
    put16(strh, quint16(width));
    put16(strh, quint16(height));

    QByteArray strf;
    put32(strf, 40);
    put32(strf, width);
    put32(strf, height);
    put16(strf, 1);
    put16(strf, 24);
    strf += "MJPG";
    put32(strf, width * height * 3);
    for (int i = 0; i < 4; ++i)
        put32(strf, 0);

    const QByteArray header = list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf)));
    QByteArray riff("AVI ", 4);
    riff += header + list("movi", movi) + chunk("idx1", index);

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(chunk("RIFF", riff)) > 0 && file.flush();
}
