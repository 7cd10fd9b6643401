#pragma once

#include <QImage>
#include <QStringList>
#include <QtGlobal>

#include <climits>

class QIODevice;

// Reads a picture within a bound of memory worked out, before anything is decoded, from the
// picture's own header (PictureHeader): a picture whose decoding would take more is refused, as one
// that is no picture is. It runs on the calling thread only, Qt's global pool untouched, so callers
// run it on PicturePool.
namespace BoundedPictureReader {

struct Limits
{
    // The most decoding may allocate at once.
    qint64 maxBytes = 0;
    // Scaled down, keeping its aspect ratio, until both hold.
    int maxShorterSide = INT_MAX;
    int maxLongerSide = INT_MAX;
};

// The size a picture of `size` is handed on at.
QSize fitted(QSize size, const Limits &limits);
// The picture from the device's current position, upright by its orientation tag, at 32 bits a
// pixel and within `limits`; a null image when it is refused or cannot be decoded.
QImage read(QIODevice &device, const Limits &limits);
// File name patterns of the formats it reads ("*.png" ...).
QStringList patterns();

} // namespace BoundedPictureReader
