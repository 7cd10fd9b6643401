#include "CameraPhoto.h"

#include <QBuffer>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>

namespace {

void addGrain(QPainter &painter, const QRect &area)
{
    // A tile of random pixels at a fifth of their strength, tiled with sides of prime length so
    // that no two tiles line up with JPEG's blocks alike.
    QImage grain(509, 503, QImage::Format_ARGB32);
    QRandomGenerator random(2024);
    random.fillRange(reinterpret_cast<quint32 *>(grain.bits()), grain.sizeInBytes() / 4);
    painter.setOpacity(0.2);
    painter.fillRect(area, QBrush(grain));
    painter.setOpacity(1);
}

} // namespace

QImage CameraPhoto::draw(QSize size, bool grain)
{
    QImage photo(size, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(0xFF, 0x9F, 0x43));
    sky.setColorAt(0.5, QColor(0x54, 0xA0, 0xFF));
    sky.setColorAt(1, QColor(0x2D, 0x34, 0x36));
    painter.fillRect(photo.rect(), sky);
    if (grain)
        addGrain(painter, photo.rect());
    painter.fillRect(0, 0, markSide(size), markSide(size), Qt::red);
    return photo;
}

int CameraPhoto::markSide(QSize size)
{
    return std::max(1, std::min(size.width(), size.height()) / 8);
}

QByteArray CameraPhoto::jpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "JPG", quality) ? bytes : QByteArray();
}

QByteArray CameraPhoto::withOrientation(const QByteArray &jpeg, quint16 orientation)
{
    // A little-endian TIFF header and one directory holding the single tag 0x0112.
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    const auto put = [&tiff](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff.append(char((value >> (8 * i)) & 0xff));
    };
    put(1, 2);      // entries
    put(0x0112, 2); // orientation
    put(3, 2);      // SHORT
    put(1, 4);      // one value
    put(orientation, 2);
    put(0, 2);
    put(0, 4); // no next directory
    const QByteArray exif = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(exif.size()) + 2;
    QByteArray segment("\xff\xe1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xff)).append(exif);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

bool CameraPhoto::write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return !bytes.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
