#pragma once

#include <QImage>
#include <QSize>

class QIODevice;

// Reads a PNG through libpng, row by row, scaled as it is read: whatever its depth, palette or
// channels, a plain PNG costs the picture handed on and a few rows. Qt's own reader does that only
// for 8-bit colour; 16-bit, grey and palette PNGs it decodes whole before scaling them. An interlaced
// PNG is decoded whole, at 32 bits a pixel, and then scaled. A PNG cut short is refused.
namespace PngRowReader {

// The picture at `target` (no larger than the PNG), or a null image.
QImage read(QIODevice &device, QSize target);

} // namespace PngRowReader
