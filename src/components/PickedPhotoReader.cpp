#include "PickedPhotoReader.h"

#include "BoundedPictureReader.h"

#include <QFile>

#include <unistd.h>

QImage PickedPhotoReader::read(int fd)
{
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    return BoundedPictureReader::read(file, {.maxBytes = maxDecodeBytes, .maxLongerSide = maxSide});
}
