#include "PickedImageProvider.h"

#include "RowScaler.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

// Kept for every engine at once: the models that add photos know no engine, and the loader threads
// of all engines read here.
struct Shown
{
    QMutex mutex;
    QHash<QString, QImage> images;
    quint64 lastKey = 0;
};

Shown &shown()
{
    static Shown instance;
    return instance;
}

} // namespace

PickedImageProvider::PickedImageProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}

QImage PickedImageProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    QImage image;
    {
        Shown &all = shown();
        const QMutexLocker lock(&all.mutex);
        image = all.images.value(id);
    }
    if (size)
        *size = image.size();
    if (image.isNull())
        return image;
    // An unset side of the requested size bounds nothing; a picture is never scaled up.
    const QSize bound(requestedSize.width() > 0 ? requestedSize.width() : image.width(),
                      requestedSize.height() > 0 ? requestedSize.height() : image.height());
    if (image.width() <= bound.width() && image.height() <= bound.height())
        return image;
    // Scaled on this thread alone: QImage's own smooth scaling would spread over Qt's global pool,
    // which the window's drawing waits on.
    return RowScaler::scaled(image, image.size().scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
}

QUrl PickedImageProvider::keep(const QImage &image)
{
    Shown &all = shown();
    const QMutexLocker lock(&all.mutex);
    const QString key = QString::number(++all.lastKey);
    all.images.insert(key, image);
    return QUrl(QStringLiteral("image://%1/%2").arg(QLatin1String(providerId), key));
}

void PickedImageProvider::drop(const QUrl &address)
{
    if (address.scheme() != QLatin1String("image") || address.host() != QLatin1String(providerId))
        return;
    Shown &all = shown();
    const QMutexLocker lock(&all.mutex);
    all.images.remove(address.path().mid(1));
}
