#include "RoundedImage.h"

#include <algorithm>

#include <QFile>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QPainterPath>
#include <QQmlEngine>

namespace {

// Pictures far larger than any avatar are scaled down once, so that painting stays cheap. Only
// the shorter side decides: a long thin picture must never be scaled up on the way.
constexpr int maxStoredSide = 512;

QImage readImage(QIODevice *device)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && std::min(size.width(), size.height()) > maxStoredSide)
        reader.setScaledSize(size.scaled(maxStoredSide, maxStoredSide, Qt::KeepAspectRatioByExpanding));
    return reader.read();
}

} // namespace

RoundedImage::RoundedImage(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

RoundedImage::~RoundedImage()
{
    dropReply();
}

void RoundedImage::setSource(const QUrl &source)
{
    if (source == m_source)
        return;
    m_source = source;
    Q_EMIT sourceChanged();
    if (isComponentComplete())
        load();
}

void RoundedImage::setRadius(qreal radius)
{
    if (qFuzzyCompare(radius, m_radius))
        return;
    m_radius = radius;
    Q_EMIT radiusChanged();
    update();
}

void RoundedImage::componentComplete()
{
    QQuickPaintedItem::componentComplete();
    load();
}

void RoundedImage::dropReply()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    m_reply = nullptr;
}

void RoundedImage::load()
{
    dropReply();
    m_image = QImage();
    update();
    if (m_source.isEmpty()) {
        setStatus(Null);
        return;
    }
    setStatus(Loading);

    if (m_source.isLocalFile() || m_source.scheme() == QLatin1String("qrc")) {
        const QString path = m_source.isLocalFile() ? m_source.toLocalFile() : QLatin1Char(':') + m_source.path();
        QFile file(path);
        finishLoading(file.open(QIODevice::ReadOnly) ? readImage(&file) : QImage());
        return;
    }

    QQmlEngine *engine = qmlEngine(this);
    QNetworkAccessManager *network = engine ? engine->networkAccessManager() : nullptr;
    const QString scheme = m_source.scheme();
    if (!network || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        finishLoading(QImage());
        return;
    }
    m_reply = network->get(QNetworkRequest(m_source));
    connect(m_reply, &QNetworkReply::finished, this, [this] {
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        reply->deleteLater();
        finishLoading(reply->error() == QNetworkReply::NoError ? readImage(reply) : QImage());
    });
}

void RoundedImage::finishLoading(QImage image)
{
    m_image = std::move(image);
    update();
    setStatus(m_image.isNull() ? Error : Ready);
}

void RoundedImage::setStatus(Status status)
{
    if (status == m_status)
        return;
    m_status = status;
    Q_EMIT statusChanged();
}

void RoundedImage::paint(QPainter *painter)
{
    if (m_image.isNull() || width() <= 0 || height() <= 0)
        return;
    const QRectF bounds(0, 0, width(), height());
    QPainterPath outline;
    if (m_radius < 0)
        outline.addEllipse(bounds);
    else
        outline.addRoundedRect(bounds, m_radius, m_radius);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->setClipPath(outline);

    // Scale to fill: the picture covers the whole item and what overhangs is cut.
    const QSizeF filled = QSizeF(m_image.size()).scaled(bounds.size(), Qt::KeepAspectRatioByExpanding);
    const QRectF target((bounds.width() - filled.width()) / 2, (bounds.height() - filled.height()) / 2, filled.width(),
                        filled.height());
    painter->drawImage(target, m_image);
}
