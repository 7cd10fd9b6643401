#pragma once

#include <QByteArray>
#include <QSize>

// A PNG of one mid grey, written row by row through libpng: a hundred megapixels cost a fraction of
// a second and a few hundred kilobytes, where drawing and saving them through QImage would take the
// whole picture in memory and seconds.
namespace FlatPng {

// Colour without alpha, 8 or 16 bits a channel, plain or interlaced (Adam7).
QByteArray encode(QSize size, int bitsPerChannel, bool interlaced);

} // namespace FlatPng
