#pragma once

#include <QImage>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

class PictureLoader;

// A picture loaded from an address, scaled to fill the item and cut to a rounded rectangle
// (a circle unless a corner radius is given). Painted on the CPU so that it looks the same with
// every scene graph backend (no shader effects). Only web addresses load (PictureLoader); any
// other ends in Error, as an unloadable one does. A failed picture is not given up for good: each
// new showing of the item (its parent shown again, the address set again) loads it afresh, while a
// loaded one stays as it is.
class RoundedImage : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)
    // Negative: a circle (an ellipse for a item that is not square).
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY radiusChanged)
    // The loaded picture's size, so that a caller can keep its aspect ratio; empty until ready.
    Q_PROPERTY(QSize imageSize READ imageSize NOTIFY statusChanged)

public:
    enum Status { Null, Loading, Ready, Error };
    Q_ENUM(Status)

    explicit RoundedImage(QQuickItem *parent = nullptr);
    ~RoundedImage() override;

    QUrl source() const { return m_source; }
    void setSource(const QUrl &source);
    Status status() const { return m_status; }
    qreal radius() const { return m_radius; }
    QSize imageSize() const { return m_image.size(); }
    void setRadius(qreal radius);

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void sourceChanged();
    void statusChanged();
    void radiusChanged();

protected:
    void componentComplete() override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;

private:
    void load();
    void finishLoading(QImage image);
    void setStatus(Status status);
    void dropRequest();
    // The items that show a picture hide it while it is not ready, so the item's own visibility
    // tells nothing: whether it is on show is its parent's.
    bool isOnShow() const;
    void followParent();
    void showingChanged();

    QUrl m_source;
    Status m_status = Null;
    qreal m_radius = -1;
    QImage m_image;
    QPointer<PictureLoader> m_loader;
    QUrl m_requested;
    QMetaObject::Connection m_parentShown;
    bool m_onShow = false;
};
