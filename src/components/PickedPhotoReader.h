#pragma once

#include <QImage>

// Reading a photo the user picked. A camera's photo can hold far more pixels than the editing step
// shows or the service stores: it is read at most maxSide pixels along its longer side, scaled while
// decoding (a JPEG at a fraction of its size, a PNG row by row, never whole), and turned upright by
// its orientation tag. A photo within the bound keeps its size. Decoding may take at most
// maxDecodeBytes, worked out from the file's header before it starts: a baseline JPEG or a plain PNG
// of any size needs about twice the picture handed on (128 MiB at 4,096 pixels a side), which
// leaves room for a progressive JPEG of about 55 megapixels.
namespace PickedPhotoReader {

inline constexpr int maxSide = 4096;
inline constexpr qint64 maxDecodeBytes = 256LL * 1024 * 1024;

// Decodes the regular file open on `fd`, which it closes. The content decides the format, never the
// name: a PNG saved as "photo.jpg" is read as the PNG it is. A null image when the content is no
// picture the reader can decode within the bound. The pixels come in a 32-bit format, so that a
// square of them can be handed on without copying.
QImage read(int fd);

} // namespace PickedPhotoReader
