#pragma once

#include <QImage>
#include <QSize>

class PictureHeader;
class QIODevice;

// Reads a JPEG through libjpeg, row by row at the eighth of its size it is told, scaling the rows as
// they come: a baseline JPEG costs the picture handed on and a few rows, never the eighth whole as
// Qt's reader holds it, and nothing of it reaches Qt's global pool, which Qt's reader spreads its
// final scaling over. libjpeg itself is held to `maxBytes`, so a JPEG that needs more than its
// header told (more coefficients) fails instead. The picture comes upright by its Exif orientation,
// with its colour profile, both read from the header (libjpeg keeps no marker). A JPEG cut short
// shows what came, the rest as libjpeg fills it.
namespace JpegRowReader {

// The picture at `target`, decoded at the eighth of its size the header gives for it; a null image
// when libjpeg gives up.
QImage read(QIODevice &device, const PictureHeader &header, QSize target, qint64 maxBytes);

} // namespace JpegRowReader
