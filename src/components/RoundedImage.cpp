#include "RoundedImage.h"

#include "NetworkManager.h"
#include "PictureLoader.h"

#include <QPainter>
#include <QPainterPath>
#include <QQmlEngine>

#include <utility>

RoundedImage::RoundedImage(QQuickItem *parent) : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

RoundedImage::~RoundedImage()
{
    dropRequest();
}

void RoundedImage::setSource(const QUrl &source)
{
    // The same address given again (a list reloaded) is another showing: worth a try if it failed.
    if (source == m_source) {
        if (m_status == Error && isComponentComplete())
            load();
        return;
    }
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
    m_onShow = isOnShow();
    // A list loaded again is another showing of its rows' pictures, even where its rows stay as
    // they were.
    connect(&NetworkManager::shared(), &NetworkManager::readAnswered, this, [this] {
        if (m_onShow && m_status == Error)
            load();
    });
    load();
}

void RoundedImage::itemChange(ItemChange change, const ItemChangeData &value)
{
    QQuickPaintedItem::itemChange(change, value);
    if (change == ItemParentHasChanged)
        followParent();
    if (change == ItemParentHasChanged || change == ItemSceneChange)
        showingChanged();
}

bool RoundedImage::isOnShow() const
{
    return window() && parentItem() && parentItem()->isVisible();
}

void RoundedImage::followParent()
{
    disconnect(m_parentShown);
    // visibleChanged tells of the parent's effective visibility: a tab hidden or shown above it too.
    if (QQuickItem *parent = parentItem())
        m_parentShown = connect(parent, &QQuickItem::visibleChanged, this, &RoundedImage::showingChanged);
}

void RoundedImage::showingChanged()
{
    const bool wasOnShow = std::exchange(m_onShow, isOnShow());
    // Only a failed picture is fetched again: a loaded one is kept, one on its way is awaited.
    if (m_onShow && !wasOnShow && m_status == Error && isComponentComplete())
        load();
}

void RoundedImage::dropRequest()
{
    if (m_loader && !m_requested.isEmpty())
        m_loader->release(m_requested, this);
    m_requested.clear();
}

void RoundedImage::load()
{
    dropRequest();
    m_image = QImage();
    update();
    if (m_source.isEmpty()) {
        setStatus(Null);
        return;
    }
    QQmlEngine *engine = qmlEngine(this);
    m_loader = engine ? PictureLoader::of(engine->networkAccessManager()) : nullptr;
    if (!m_loader) {
        setStatus(Error);
        return;
    }
    const QImage held = m_loader->cached(m_source);
    if (!held.isNull()) {
        finishLoading(held);
        return;
    }
    setStatus(Loading);
    m_requested = m_source;
    m_loader->request(m_source, this, [this](const QImage &image) {
        m_requested.clear();
        finishLoading(image);
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
