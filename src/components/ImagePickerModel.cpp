#include "ImagePickerModel.h"

#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QString localPath(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    return url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
}

} // namespace

ImagePickerModel::ImagePickerModel(QObject *parent) : QObject(parent) {}

QStringList ImagePickerModel::nameFilters()
{
    QStringList patterns;
    for (const QByteArray &format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return {QStringLiteral("Фото (%1)").arg(patterns.join(QLatin1Char(' ')))};
}

void ImagePickerModel::setFrameSize(qreal size)
{
    if (!(size > 0) || qFuzzyCompare(size, m_frameSize))
        return;
    const qreal ratio = size / m_frameSize;
    m_frameSize = size;
    scaleOffset(ratio);
}

void ImagePickerModel::setZoom(qreal zoom)
{
    if (std::isnan(zoom))
        return;
    const qreal clamped = std::clamp(zoom, 1.0, maximumZoom());
    if (qFuzzyCompare(clamped, m_zoom))
        return;
    const qreal ratio = clamped / m_zoom;
    m_zoom = clamped;
    scaleOffset(ratio);
}

void ImagePickerModel::scaleOffset(qreal ratio)
{
    // The same part of the photo stays under the frame when the frame or the zoom changes.
    m_offsetX *= ratio;
    m_offsetY *= ratio;
    clampOffset();
    Q_EMIT geometryChanged();
}

void ImagePickerModel::zoomBy(qreal factor)
{
    if (factor > 0)
        setZoom(m_zoom * factor);
}

qreal ImagePickerModel::baseScale() const
{
    if (m_image.isNull())
        return 1.0;
    return m_frameSize / std::min(m_image.width(), m_image.height());
}

QRectF ImagePickerModel::displayRect() const
{
    if (m_image.isNull())
        return {};
    const qreal scale = baseScale() * m_zoom;
    const qreal width = m_image.width() * scale;
    const qreal height = m_image.height() * scale;
    return {(m_frameSize - width) / 2 + m_offsetX, (m_frameSize - height) / 2 + m_offsetY, width, height};
}

QRect ImagePickerModel::cropRect() const
{
    if (m_image.isNull())
        return {};
    const QRectF shown = displayRect();
    const qreal scale = baseScale() * m_zoom;
    const int side = std::max(1, int(std::lround(m_frameSize / scale)));
    const int left = int(std::lround(-shown.x() / scale));
    const int top = int(std::lround(-shown.y() / scale));
    QRect rect(std::clamp(left, 0, m_image.width() - side), std::clamp(top, 0, m_image.height() - side), side, side);
    return rect.intersected(m_image.rect());
}

void ImagePickerModel::clampOffset()
{
    if (m_image.isNull()) {
        m_offsetX = m_offsetY = 0;
        return;
    }
    const qreal scale = baseScale() * m_zoom;
    const qreal limitX = std::max<qreal>(0, (m_image.width() * scale - m_frameSize) / 2);
    const qreal limitY = std::max<qreal>(0, (m_image.height() * scale - m_frameSize) / 2);
    m_offsetX = std::clamp(m_offsetX, -limitX, limitX);
    m_offsetY = std::clamp(m_offsetY, -limitY, limitY);
}

void ImagePickerModel::reset()
{
    m_image = QImage();
    m_imageUrl = QUrl();
    m_zoom = 1.0;
    m_offsetX = m_offsetY = 0;
    Q_EMIT imageChanged();
    Q_EMIT geometryChanged();
}

bool ImagePickerModel::openImage(const QString &pathOrUrl)
{
    const QString path = localPath(pathOrUrl);
    // Read from the descriptor that was checked: a FIFO or a device never reaches the reader.
    QFile file;
    QImage image;
    if (RegularFile::open(file, path)) {
        // The name's suffix is only a first guess; the content decides when it lies.
        QImageReader reader(&file, QFileInfo(path).suffix().toLower().toLatin1());
        reader.setAutoTransform(true);
        image = reader.read();
    }
    if (image.isNull()) {
        reset();
        Q_EMIT finished();
        return false;
    }
    m_image = std::move(image);
    m_imageUrl = QUrl::fromLocalFile(path);
    m_zoom = 1.0;
    m_offsetX = m_offsetY = 0;
    Q_EMIT imageChanged();
    Q_EMIT geometryChanged();
    return true;
}

void ImagePickerModel::pan(qreal dx, qreal dy)
{
    if (m_image.isNull() || std::isnan(dx) || std::isnan(dy))
        return;
    m_offsetX += dx;
    m_offsetY += dy;
    clampOffset();
    Q_EMIT geometryChanged();
}

void ImagePickerModel::confirm()
{
    // The picker closes with an animation: a second press (a key held down) must not pick again.
    if (std::exchange(m_finished, true))
        return;
    if (!m_image.isNull()) {
        const QImage cropped = m_image.copy(cropRect());
        Q_EMIT imagePicked(cropped.isNull() ? m_image : cropped);
    }
    Q_EMIT finished();
}

void ImagePickerModel::cancel()
{
    if (std::exchange(m_finished, true))
        return;
    Q_EMIT finished();
}
