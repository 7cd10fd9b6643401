#pragma once

#include <QImage>

// Reading a photo the user picked. A camera's photo can hold far more pixels than the editing step
// shows or the service stores: it is read at most maxSide pixels along its longer side, scaled while
// decoding where the format allows (a JPEG is then decoded at a fraction of its size, never whole),
// and turned upright by its orientation tag. A photo within the bound keeps its size.
namespace PickedPhotoReader {

inline constexpr int maxSide = 4096;
// Qt's reader refuses a picture whose decoding would allocate more than this many MiB; its default
// of 128 turns down a 34-megapixel PNG, which, unlike a JPEG, is decoded whole before it is scaled.
// This covers 100 megapixels at 8 bytes a pixel (a 16-bit PNG with alpha).
inline constexpr int allocationLimitMb = 1024;

// Raises Qt's limit, process-wide and once. Qt reads the limit unguarded on every decoding thread,
// so this runs before any picture is decoded off the GUI thread.
void raiseAllocationLimit();

// Decodes the regular file open on `fd`, which it closes. The content decides the format, never the
// name: a PNG saved as "photo.jpg" is read as the PNG it is. A null image when the content is no
// picture the reader can decode. The pixels come in a 32-bit format, so that a square of them can be
// handed on without copying.
QImage read(int fd);

} // namespace PickedPhotoReader
