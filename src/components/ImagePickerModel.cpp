#include "ImagePickerModel.h"

#include "BoundedPictureReader.h"
#include "PickedImageProvider.h"
#include "PickedPhotoReader.h"
#include "PicturePool.h"
#include "RegularFile.h"

#include <QColorSpace>
#include <QFutureWatcher>

#include <algorithm>
#include <cmath>
#include <unistd.h>
#include <utility>

namespace {

QString localPath(const QString &pathOrUrl)
{
    const QUrl url(pathOrUrl);
    return url.isLocalFile() ? url.toLocalFile() : pathOrUrl;
}

} // namespace

ImagePickerModel::ImagePickerModel(QObject *parent) : QObject(parent) {}

ImagePickerModel::~ImagePickerModel()
{
    // The watcher goes with the model's children; a reading not yet begun need not begin.
    if (m_abandoned)
        m_abandoned->store(true);
    PickedImageProvider::drop(m_imageUrl);
}

QStringList ImagePickerModel::nameFilters()
{
    return {QStringLiteral("Фото (%1)").arg(BoundedPictureReader::patterns().join(QLatin1Char(' ')))};
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
    PickedImageProvider::drop(m_imageUrl);
    m_image = QImage();
    m_imageUrl = QUrl();
    m_zoom = 1.0;
    m_offsetX = m_offsetY = 0;
    Q_EMIT imageChanged();
    Q_EMIT geometryChanged();
}

void ImagePickerModel::show(QImage image)
{
    PickedImageProvider::drop(m_imageUrl);
    m_image = std::move(image);
    m_imageUrl = PickedImageProvider::keep(m_image);
    m_zoom = 1.0;
    m_offsetX = m_offsetY = 0;
    Q_EMIT imageChanged();
    Q_EMIT geometryChanged();
}

void ImagePickerModel::end()
{
    m_finished = true;
    Q_EMIT finished();
}

bool ImagePickerModel::openImage(const QString &pathOrUrl)
{
    if (m_finished)
        return false;
    dropReading();
    if (hasImage())
        reset();
    const QString path = localPath(pathOrUrl);
    // Opened here and read from the descriptor that was checked: a FIFO or a device never reaches
    // the reader. Opening costs the same whatever the file's size; the reading goes to the pool.
    const int fd = RegularFile::open(path);
    if (fd < 0) {
        end();
        return false;
    }
    startReading(fd);
    return true;
}

void ImagePickerModel::startReading(int fd)
{
    const auto abandoned = std::make_shared<std::atomic_bool>(false);
    m_abandoned = abandoned;
    m_reading = new QFutureWatcher<QImage>(this);
    connect(m_reading, &QFutureWatcherBase::finished, this, &ImagePickerModel::readingEnded);
    m_reading->setFuture(PicturePool::run([abandoned, fd]() -> QImage {
        if (!abandoned->load())
            return PickedPhotoReader::read(fd);
        ::close(fd);
        return {};
    }));
    Q_EMIT loadingChanged();
}

void ImagePickerModel::readingEnded()
{
    QFutureWatcher<QImage> *reading = std::exchange(m_reading, nullptr);
    m_abandoned.reset();
    QImage image = reading->future().resultCount() > 0 ? reading->result() : QImage();
    reading->deleteLater();
    if (image.isNull()) {
        Q_EMIT loadingChanged();
        end();
        return;
    }
    show(std::move(image));
    Q_EMIT loadingChanged();
}

void ImagePickerModel::dropReading()
{
    if (!m_reading)
        return;
    m_abandoned->store(true);
    m_abandoned.reset();
    // Deleting the watcher disconnects it: the photo, when it comes, reaches nobody.
    delete std::exchange(m_reading, nullptr);
    Q_EMIT loadingChanged();
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

QImage ImagePickerModel::squareOf(const QRect &rect) const
{
    // A view into the photo's own pixels, which it keeps alive: handing the square on copies
    // nothing. A change to the square, by whoever receives it, detaches it as a copy would.
    if (rect.isEmpty() || m_image.depth() != 32)
        return m_image.copy(rect);
    auto *kept = new QImage(m_image);
    const uchar *first = kept->constScanLine(rect.top()) + qsizetype(rect.left()) * 4;
    QImage square(
        first, rect.width(), rect.height(), kept->bytesPerLine(), kept->format(),
        [](void *image) { delete static_cast<QImage *>(image); }, kept);
    if (square.isNull()) {
        delete kept;
        return m_image.copy(rect);
    }
    square.setColorSpace(m_image.colorSpace());
    return square;
}

void ImagePickerModel::confirm()
{
    if (m_reading)
        return;
    // The picker closes with an animation: a second press (a key held down) must not pick again.
    if (std::exchange(m_finished, true))
        return;
    if (!m_image.isNull()) {
        const QImage square = squareOf(cropRect());
        Q_EMIT imagePicked(square.isNull() ? m_image : square);
    }
    Q_EMIT finished();
}

void ImagePickerModel::cancel()
{
    if (std::exchange(m_finished, true))
        return;
    dropReading();
    Q_EMIT finished();
}
