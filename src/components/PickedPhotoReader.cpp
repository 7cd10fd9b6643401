#include "PickedPhotoReader.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <unistd.h>

void PickedPhotoReader::raiseAllocationLimit()
{
    static const bool raised = [] {
        QImageReader::setAllocationLimit(allocationLimitMb);
        return true;
    }();
    Q_UNUSED(raised);
}

QImage PickedPhotoReader::read(int fd)
{
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {};
    }
    QImageReader reader(&file);
    // Given a format (from the name's suffix) Qt tries that one alone, and fails on a misnamed file.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // The size is the stored one, before the orientation turns it; the longer side is the longer
    // side either way.
    const QSize size = reader.size();
    if (size.isValid() && std::max(size.width(), size.height()) > maxSide)
        reader.setScaledSize(size.scaled(maxSide, maxSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image = reader.read();
    if (!image.isNull() && image.depth() != 32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    return image;
}
