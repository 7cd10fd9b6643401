#include "BoundedPictureReader.h"

#include "JpegRowReader.h"
#include "PictureHeader.h"
#include "PngRowReader.h"
#include "RowScaler.h"

#include <QIODevice>
#include <QImageReader>

#include <algorithm>

namespace {

using Format = PictureHeader::Format;

// A GIF or a BMP through Qt's own reader, told the format the header showed so that it cannot pick
// another, decoded whole as it always does.
QImage readWithQt(QIODevice &device, const PictureHeader &header)
{
    const bool gif = header.format() == Format::Gif;
    QImageReader reader(&device, gif ? "gif" : "bmp");
    reader.setDecideFormatFromContent(false);
    if (gif)
        return reader.read();
    // Qt's BMP reader leaves the rows that a cut file never reaches as the allocator gave them: the
    // pixels of a picture freed before, or whatever else the process held there, which a picked
    // photo would then carry to the service. Handed a picture of the size and format it makes, it
    // writes into that one, whose rows start black.
    QImage image(reader.size(), reader.imageFormat());
    if (image.isNull())
        return {};
    image.fill(0);
    return reader.read(&image) ? image : QImage();
}

} // namespace

QSize BoundedPictureReader::fitted(QSize size, const Limits &limits)
{
    QSize fit = size;
    if (std::min(fit.width(), fit.height()) > limits.maxShorterSide)
        fit = fit.scaled(limits.maxShorterSide, limits.maxShorterSide, Qt::KeepAspectRatioByExpanding);
    if (std::max(fit.width(), fit.height()) > limits.maxLongerSide)
        fit = fit.scaled(limits.maxLongerSide, limits.maxLongerSide, Qt::KeepAspectRatio);
    return fit.expandedTo(QSize(1, 1)).boundedTo(size);
}

QImage BoundedPictureReader::read(QIODevice &device, const Limits &limits)
{
    const PictureHeader header = PictureHeader::read(device);
    if (!header.isValid())
        return {};
    const QSize target = fitted(header.size(), limits);
    const qint64 cost = header.decodeBytes(target);
    if (cost < 0 || cost > limits.maxBytes)
        return {};
    const QImage image = header.format() == Format::Png ? PngRowReader::read(device, target)
                         : header.format() == Format::Jpeg
                             ? JpegRowReader::read(device, header, target, limits.maxBytes)
                             : readWithQt(device, header);
    // Scaled here, row by row, what Qt decoded whole; and whatever a decoder makes of its header,
    // the picture handed on keeps within the limits, at 32 bits a pixel.
    return RowScaler::scaled(image, fitted(image.size(), limits));
}

QStringList BoundedPictureReader::patterns()
{
    return {QStringLiteral("*.bmp"), QStringLiteral("*.gif"), QStringLiteral("*.jpeg"), QStringLiteral("*.jpg"),
            QStringLiteral("*.png")};
}
