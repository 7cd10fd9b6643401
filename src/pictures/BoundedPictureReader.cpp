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
// another, decoded whole as it always does; then scaled here, row by row.
QImage readWithQt(QIODevice &device, const PictureHeader &header, QSize target)
{
    QImageReader reader(&device, header.format() == Format::Gif ? "gif" : "bmp");
    reader.setDecideFormatFromContent(false);
    return RowScaler::scaled(reader.read(), target);
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
    QImage image = header.format() == Format::Png    ? PngRowReader::read(device, target)
                   : header.format() == Format::Jpeg ? JpegRowReader::read(device, header, target, limits.maxBytes)
                                                     : readWithQt(device, header, target);
    // Whatever a decoder makes of its header, the picture handed on keeps within the limits.
    const QSize handedOn = fitted(image.size(), limits);
    if (!image.isNull() && handedOn != image.size())
        image = RowScaler::scaled(image, handedOn);
    return image;
}

QStringList BoundedPictureReader::patterns()
{
    return {QStringLiteral("*.bmp"), QStringLiteral("*.gif"), QStringLiteral("*.jpeg"), QStringLiteral("*.jpg"),
            QStringLiteral("*.png")};
}
