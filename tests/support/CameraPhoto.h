#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// Photos as a camera leaves them, for the picker's tests and benchmarks: a colour gradient under a
// mild grain, so that JPEG has real detail to keep (a flat picture would shrink to a few kilobytes),
// and a red square in the top-left corner that shows which way up the picture came out. Drawn by
// Qt's painter and encoded by Qt alone, which run at full speed in a sanitizer build too.
namespace CameraPhoto {

// Without grain, the picture a lossless format keeps small (a PNG of grain would take hundreds of MB).
QImage draw(QSize size, bool grain = true);
// The side of the red square in the top-left corner of draw(size).
int markSide(QSize size);
QByteArray jpeg(const QImage &image, int quality = 85);
// The JPEG with an Exif orientation tag (1 to 8, as cameras write them) right after its start.
QByteArray withOrientation(const QByteArray &jpeg, quint16 orientation);
// Writes the bytes to `path`; false when they cannot all be written.
bool write(const QString &path, const QByteArray &bytes);

} // namespace CameraPhoto
