#pragma once

#include <QImage>

// Reading a photo the user picked. A camera's photo can hold far more pixels than the editing step
// shows or the service stores: it is read at most maxSide pixels along its longer side, scaled while
// decoding where the format allows (a JPEG is then decoded at a fraction of its size, a PNG row by
// row, never whole), and turned upright by its orientation tag. A photo within the bound keeps its
// size. Decoding may take at most maxDecodeBytes, worked out from the file's header before it
// starts: a 100-megapixel JPEG read at the nearest eighth and then scaled needs up to 223 MiB.
namespace PickedPhotoReader {

inline constexpr int maxSide = 4096;
inline constexpr qint64 maxDecodeBytes = 256LL * 1024 * 1024;

// Decodes the regular file open on `fd`, which it closes. The content decides the format, never the
// name: a PNG saved as "photo.jpg" is read as the PNG it is. A null image when the content is no
// picture the reader can decode within the bound. The pixels come in a 32-bit format, so that a
// square of them can be handed on without copying.
QImage read(int fd);

} // namespace PickedPhotoReader
