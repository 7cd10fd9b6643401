#include "BoundedPictureReader.h"

#include "PictureHeader.h"
#include "PngRowReader.h"
#include "RowScaler.h"

#include <QIODevice>
#include <QImageReader>

#include <algorithm>

namespace {

using Format = PictureHeader::Format;

// Through Qt's own reader, told the format the header showed, so that it cannot pick another.
QImage readWithQt(QIODevice &device, const PictureHeader &header, QSize target)
{
    const char *format = header.format() == Format::Jpeg ? "jpeg" : header.format() == Format::Gif ? "gif" : "bmp";
    QImageReader reader(&device, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize decoded = header.decodedSize(target);
    if (decoded != header.size())
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    // Scaled here, row by row, what the reader decoded whole; the orientation tag may have turned it.
    const bool turned = (image.width() < image.height()) != (decoded.width() < decoded.height());
    return RowScaler::scaled(image, turned ? target.transposed() : target);
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
    QImage image =
        header.format() == Format::Png ? PngRowReader::read(device, target) : readWithQt(device, header, target);
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
