#include "PictureHeader.h"

#include <QIODevice>
#include <QMap>
#include <QtEndian>

#include <algorithm>

namespace {

// Rows, accumulators and tables that every decoder keeps beside its pictures: at most this much a
// column of the stored picture, and this much whatever its size.
constexpr qint64 bytesPerColumn = 128;
constexpr qint64 fixedBytes = 1024 * 1024;
// libpng's own bound on a side; it refuses anything wider or taller.
constexpr quint32 maxPngSide = 1000000;
// A GIF's blocks before its first frame are walked through at most this far into the file.
constexpr qint64 gifSearchBytes = 1024 * 1024;
// A JPEG's colour profile is kept up to this size; a larger one is left out.
constexpr qint64 maxProfileBytes = 4 * 1024 * 1024;

// Reads at offsets from where the header begins; an offset past the end reads short.
class Reader
{
public:
    explicit Reader(QIODevice &device) : m_device(device), m_start(device.pos()) {}
    ~Reader() { m_device.seek(m_start); }

    QByteArray at(qint64 offset, qint64 length)
    {
        if (offset < 0 || !m_device.seek(m_start + offset))
            return {};
        return m_device.read(length);
    }

private:
    QIODevice &m_device;
    qint64 m_start;
};

quint32 be16(const QByteArray &bytes, int at)
{
    return qFromBigEndian<quint16>(bytes.constData() + at);
}
quint32 be32(const QByteArray &bytes, int at)
{
    return qFromBigEndian<quint32>(bytes.constData() + at);
}
quint32 le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
qint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

qint64 pixels(QSize size)
{
    return qint64(size.width()) * size.height();
}

qint64 roundUp(qint64 value, qint64 step)
{
    return (value + step - 1) / step * step;
}

// The orientation (1 to 8) an Exif block gives, or 0 when it is none or gives none.
int exifOrientation(const QByteArray &exif)
{
    if (!exif.startsWith(QByteArray("Exif\0\0", 6)))
        return 0;
    const QByteArray tiff = exif.mid(6);
    const bool little = tiff.startsWith("II");
    const auto read = [&tiff, little](qsizetype at, int bytes) -> quint32 {
        if (at < 0 || at + bytes > tiff.size())
            return 0;
        const char *data = tiff.constData() + at;
        if (bytes == 2)
            return little ? qFromLittleEndian<quint16>(data) : qFromBigEndian<quint16>(data);
        return little ? qFromLittleEndian<quint32>(data) : qFromBigEndian<quint32>(data);
    };
    // The first directory's entries, 12 bytes each: tag, type, count, value.
    const qsizetype directory = qsizetype(read(4, 4));
    const quint32 entries = read(directory, 2);
    for (quint32 entry = 0; entry < entries && entry < 1000; ++entry) {
        const qsizetype at = directory + 2 + 12 * qsizetype(entry);
        if (read(at, 2) == 0x0112) {
            const quint32 value = read(at + 8, 2);
            return value >= 1 && value <= 8 ? int(value) : 0;
        }
    }
    return 0;
}

} // namespace

PictureHeader PictureHeader::read(QIODevice &device)
{
    if (!device.isOpen() || device.isSequential())
        return {};
    QByteArray magic;
    {
        Reader reader(device);
        magic = reader.at(0, 8);
    }
    if (magic.startsWith("\x89PNG\r\n\x1a\n"))
        return readPng(device);
    if (magic.startsWith("\xff\xd8\xff"))
        return readJpeg(device);
    if (magic.startsWith("GIF87a") || magic.startsWith("GIF89a"))
        return readGif(device);
    if (magic.startsWith("BM"))
        return readBmp(device);
    return {};
}

PictureHeader PictureHeader::readPng(QIODevice &device)
{
    Reader reader(device);
    const QByteArray ihdr = reader.at(8, 25);
    if (ihdr.size() < 25 || be32(ihdr, 0) != 13 || !ihdr.mid(4, 4).startsWith("IHDR"))
        return {};
    const quint32 width = be32(ihdr, 8);
    const quint32 height = be32(ihdr, 12);
    if (width == 0 || height == 0 || width > maxPngSide || height > maxPngSide)
        return {};
    PictureHeader header;
    header.m_format = Format::Png;
    header.m_size = QSize(int(width), int(height));
    header.m_interlaced = ihdr.at(20) != 0;
    return header;
}

PictureHeader PictureHeader::readJpeg(QIODevice &device)
{
    Reader reader(device);
    PictureHeader header;
    bool sequential = false;
    // The colour profile's chunks by their number, and how many there are.
    QMap<int, QByteArray> profile;
    int profileChunks = 0;
    qint64 profileBytes = 0;
    // Markers up to the first scan: the orientation, the colour profile, the frame, then the
    // scan's component count. libjpeg is told to keep none of them, so that no number of markers
    // costs more than this walk does.
    qint64 at = 2;
    for (int markers = 0; markers < 4096; ++markers) {
        const QByteArray head = reader.at(at, 4);
        if (head.size() < 2 || uchar(head.at(0)) != 0xff)
            return {};
        const uchar marker = uchar(head.at(1));
        if (marker == 0xff) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {
            at += 2;
            continue;
        }
        if (head.size() < 4 || marker == 0xd9)
            return {};
        const quint32 length = be16(head, 2);
        if (length < 2)
            return {};
        const bool isFrame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
        if (isFrame) {
            // libjpeg-turbo decodes sequential and progressive frames, Huffman or arithmetic coded,
            // of 8-bit samples; lossless and hierarchical frames it refuses, and so does this.
            sequential = marker == 0xc0 || marker == 0xc1 || marker == 0xc9;
            const bool progressive = marker == 0xc2 || marker == 0xca;
            const QByteArray frame = reader.at(at + 4, length - 2);
            if ((!sequential && !progressive) || header.m_format != Format::Unknown || frame.size() < 6 ||
                frame.at(0) != 8)
                return {};
            const int count = uchar(frame.at(5));
            if (count < 1 || count > 4 || frame.size() < 6 + 3 * count)
                return {};
            header.m_size = QSize(int(be16(frame, 3)), int(be16(frame, 1)));
            if (header.m_size.isEmpty())
                return {};
            for (int c = 0; c < count; ++c) {
                const uchar sampling = uchar(frame.at(6 + 3 * c + 1));
                const Component component{sampling >> 4, sampling & 0x0f};
                if (component.h < 1 || component.h > 4 || component.v < 1 || component.v > 4)
                    return {};
                header.m_components.append(component);
            }
            header.m_format = Format::Jpeg;
            header.m_multiScan = progressive;
        } else if (marker == 0xe1 && header.m_orientation == 0) {
            header.m_orientation = exifOrientation(reader.at(at + 4, length - 2));
        } else if (marker == 0xe2 && profileBytes + length <= maxProfileBytes) {
            const QByteArray chunk = reader.at(at + 4, length - 2);
            if (chunk.size() > 14 && chunk.startsWith(QByteArray("ICC_PROFILE\0", 12))) {
                profile.insert(uchar(chunk.at(12)), chunk.mid(14));
                profileChunks = uchar(chunk.at(13));
                profileBytes += length;
            }
        } else if (marker == 0xda) {
            const QByteArray scan = reader.at(at + 4, 1);
            if (header.m_format != Format::Jpeg || scan.isEmpty())
                return {};
            // A first scan of fewer components than the frame means later scans fill the rest.
            if (uchar(scan.at(0)) < header.m_components.size())
                header.m_multiScan = true;
            for (int chunk = 1; chunk <= profileChunks && profile.contains(chunk); ++chunk)
                header.m_colorProfile += profile.value(chunk);
            if (profile.size() != profileChunks)
                header.m_colorProfile.clear();
            header.m_orientation = std::max(header.m_orientation, 1);
            return header;
        }
        at += 2 + length;
    }
    return {};
}

PictureHeader PictureHeader::readGif(QIODevice &device)
{
    Reader reader(device);
    const QByteArray screen = reader.at(6, 7);
    if (screen.size() < 7)
        return {};
    const int screenWidth = int(le16(screen, 0));
    const int screenHeight = int(le16(screen, 2));
    const uchar flags = uchar(screen.at(4));
    qint64 at = 13 + ((flags & 0x80) ? 3 * (2 << (flags & 7)) : 0);
    while (at < gifSearchBytes) {
        const QByteArray introducer = reader.at(at, 1);
        if (introducer.isEmpty())
            return {};
        if (introducer.at(0) == ',') {
            const QByteArray frame = reader.at(at + 1, 8);
            if (frame.size() < 8)
                return {};
            // Qt's reader allocates the whole screen, or as far as the first frame reaches where
            // the screen is given as empty: the larger of the two bounds both.
            const int width = std::max<int>(screenWidth, int(le16(frame, 0) + le16(frame, 4)));
            const int height = std::max<int>(screenHeight, int(le16(frame, 2) + le16(frame, 6)));
            if (width == 0 || height == 0)
                return {};
            PictureHeader header;
            header.m_format = Format::Gif;
            header.m_size = QSize(width, height);
            return header;
        }
        if (introducer.at(0) != '!')
            return {};
        // An extension: its label, then sub-blocks up to an empty one.
        at += 2;
        for (QByteArray size = reader.at(at, 1); !size.isEmpty(); size = reader.at(at, 1)) {
            at += 1 + uchar(size.at(0));
            if (size.at(0) == 0 || at >= gifSearchBytes)
                break;
        }
    }
    return {};
}

PictureHeader PictureHeader::readBmp(QIODevice &device)
{
    Reader reader(device);
    const QByteArray info = reader.at(14, 20);
    if (info.size() < 12)
        return {};
    const qint32 infoSize = le32(info, 0);
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    int compression = 0;
    if (infoSize == 12) { // the OS/2 header
        width = le16(info, 4);
        height = le16(info, 6);
        bits = int(le16(info, 10));
    } else if (infoSize >= 40 && info.size() >= 20) {
        width = le32(info, 4);
        height = qAbs(qint64(le32(info, 8)));
        bits = int(le16(info, 14));
        compression = le32(info, 16);
    } else {
        return {};
    }
    // Uncompressed, run-length or bit-field pixels, as Qt reads them; no JPEG or PNG inside.
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX || compression < 0 || compression > 3)
        return {};
    PictureHeader header;
    header.m_format = Format::Bmp;
    header.m_size = QSize(int(width), int(height));
    // Up to 8 bits a pixel are decoded indexed, a byte a pixel; more, at 32 bits.
    header.m_pixelBytes = bits <= 8 ? 1 : 4;
    return header;
}

int PictureHeader::eighthsFor(QSize target) const
{
    // The smallest eighth whose sides are both at least the target's.
    for (int eighths = 1; eighths < 8; ++eighths) {
        if (qint64(m_size.width()) * eighths >= qint64(target.width()) * 8 &&
            qint64(m_size.height()) * eighths >= qint64(target.height()) * 8)
            return eighths;
    }
    return 8;
}

qint64 PictureHeader::coefficientBytes() const
{
    // libjpeg's whole-image buffer: for each component, its blocks of 64 two-byte coefficients,
    // rounded up to whole MCUs.
    int hMax = 1;
    int vMax = 1;
    for (const Component &component : m_components) {
        hMax = std::max(hMax, component.h);
        vMax = std::max(vMax, component.v);
    }
    qint64 bytes = 0;
    for (const Component &component : m_components) {
        const qint64 columns = (qint64(m_size.width()) * component.h + 8 * hMax - 1) / (8 * hMax);
        const qint64 rows = (qint64(m_size.height()) * component.v + 8 * vMax - 1) / (8 * vMax);
        bytes += roundUp(columns, component.h) * roundUp(rows, component.v) * 64 * 2;
    }
    return bytes;
}

qint64 PictureHeader::decodeBytes(QSize target) const
{
    if (!isValid() || target.isEmpty())
        return -1;
    const qint64 rows = fixedBytes + qint64(m_size.width()) * bytesPerColumn;
    // The picture handed on, and one more of its size: a turn by the orientation tag, or the
    // step from the decoder's own size or format to the one handed on.
    const qint64 handedOn = 2 * pixels(target) * 4;
    switch (m_format) {
    case Format::Png:
        // Read row by row into the picture handed on; an interlaced one whole first.
        return rows + handedOn + (m_interlaced ? pixels(m_size) * 4 : 0);
    case Format::Jpeg:
        // Read row by row at its eighth into the picture handed on; a multi-scan one keeps every
        // coefficient of its full size until its last scan.
        return rows + handedOn + (m_multiScan ? coefficientBytes() : 0);
    case Format::Gif:
        return rows + handedOn + pixels(m_size) * 4;
    case Format::Bmp:
        return rows + handedOn + pixels(m_size) * m_pixelBytes;
    case Format::Unknown:
        break;
    }
    return -1;
}
