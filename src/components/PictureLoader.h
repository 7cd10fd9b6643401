#pragma once

#include <QByteArray>
#include <QCache>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

// Pictures by address, shared by every item that shows them: one download per address however
// many items wait for it, decoded on the picture pool within 128 MiB (BoundedPictureReader), and
// kept decoded for a while so that an item made again (a card scrolled back into view) shows its
// picture at once. The addresses come from other members, so only http and https are fetched and
// a download stops at a size cap.
class PictureLoader : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 maxPictureSize = 16 * 1024 * 1024;
    // Pictures far larger than any avatar are scaled down once, so that painting stays cheap.
    static constexpr int maxStoredSide = 512;

    // The loader fetching through this manager, made on first use; it lives as long as the manager.
    static PictureLoader *of(QNetworkAccessManager *network);
    // http and https only: a local path or any other scheme would be read from this machine.
    static bool isFetchable(const QUrl &url);

    // The decoded picture when one is held; a null image otherwise.
    QImage cached(const QUrl &url);
    // Calls done with the picture (a null image when it cannot be had) unless context is gone
    // or has released the address by then. Never calls back before returning.
    void request(const QUrl &url, QObject *context, std::function<void(const QImage &)> done);
    // A download nobody waits for any more stops.
    void release(const QUrl &url, QObject *context);

private:
    struct Waiter
    {
        QPointer<QObject> context;
        std::function<void(const QImage &)> done;
    };
    struct Pending
    {
        QPointer<QNetworkReply> reply;
        QByteArray data;
        QList<Waiter> waiters;
    };

    explicit PictureLoader(QNetworkAccessManager *network);
    ~PictureLoader() override;

    void start(const QUrl &url);
    void take(const QUrl &url);
    void downloaded(const QUrl &url);
    void finish(const QUrl &url, const QImage &image);

    QNetworkAccessManager *m_network;
    QHash<QUrl, Pending> m_pending;
    QCache<QUrl, QImage> m_decoded;
};
