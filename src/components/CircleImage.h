#pragma once

#include <QImage>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

class QNetworkReply;

// A picture loaded from an address, scaled to fill the item and cut to a circle. Painted on
// the CPU so that it looks the same with every scene graph backend (no shader effects).
class CircleImage : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(Status status READ status NOTIFY statusChanged)

public:
    enum Status { Null, Loading, Ready, Error };
    Q_ENUM(Status)

    explicit CircleImage(QQuickItem *parent = nullptr);
    ~CircleImage() override;

    QUrl source() const { return m_source; }
    void setSource(const QUrl &source);
    Status status() const { return m_status; }

    void paint(QPainter *painter) override;

Q_SIGNALS:
    void sourceChanged();
    void statusChanged();

protected:
    void componentComplete() override;

private:
    void load();
    void finishLoading(QImage image);
    void setStatus(Status status);
    void dropReply();

    QUrl m_source;
    Status m_status = Null;
    QImage m_image;
    QPointer<QNetworkReply> m_reply;
};
