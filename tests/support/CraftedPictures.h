#pragma once

#include <QByteArray>

// Small pictures whose headers claim far more than they hold, as a hostile member would store them,
// for the tests and benchmarks of bounded decoding.
namespace CraftedPictures {

// A GIF of a `screen`-pixel square screen and one 1x1 frame at (frameAt, frameAt), one pixel of LZW
// data: 35 bytes. Qt's reader allocates the whole screen.
QByteArray gif(int screen, int frameAt = 0);

// A 16x16 JPEG from Qt's own writer whose frame then claims `side` pixels a side. `sampling` sets
// every component's factors (0x11: 4:4:4; 0 keeps the writer's 4:2:0); `oneComponentFirst` leaves
// its first scan with one of its three components, which makes a baseline JPEG multi-scan;
// `frameMarker`, when given, replaces the frame's marker (0xc9: arithmetic, 0xc3: lossless).
QByteArray jpeg(int side, bool progressive, quint8 sampling = 0, bool oneComponentFirst = false, char frameMarker = 0);

} // namespace CraftedPictures
