#include "CraftedPictures.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

namespace {

QByteArray le16(int value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(quint16(value), bytes.data());
    return bytes;
}

} // namespace

QByteArray CraftedPictures::gif(int screen, int frameAt)
{
    // A global table of two colours, the frame's descriptor, then LZW code size 2 and the codes
    // clear, 0, end.
    return "GIF89a" + le16(screen) + le16(screen) + QByteArray("\x80\0\0\xff\0\0\0\0\0", 9) + ',' + le16(frameAt) +
           le16(frameAt) + le16(1) + le16(1) + QByteArray("\0\x02\x02\x44\x01\0;", 7);
}

QByteArray CraftedPictures::jpeg(int side, bool progressive, quint8 sampling, bool oneComponentFirst, char frameMarker)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        return {};
    // The frame: marker, length, precision, height, width, component count, then per component
    // its id, sampling factors and table.
    const qsizetype sof = bytes.indexOf(progressive ? "\xff\xc2" : "\xff\xc0");
    for (int at : {5, 7}) {
        bytes[sof + at] = char(side >> 8);
        bytes[sof + at + 1] = char(side & 0xff);
    }
    for (int c = 0; sampling && c < 3; ++c)
        bytes[sof + 11 + 3 * c] = char(sampling);
    if (frameMarker)
        bytes[sof + 1] = frameMarker;
    if (oneComponentFirst) {
        // The writer's scan of three components, 14 bytes, becomes one of the first alone.
        const qsizetype sos = bytes.indexOf("\xff\xda");
        bytes = bytes.left(sos) + QByteArray("\xff\xda\0\x08\x01", 5) + bytes.mid(sos + 5, 2) +
                QByteArray("\0\x3f\0", 3) + bytes.mid(sos + 14);
    }
    return bytes;
}
