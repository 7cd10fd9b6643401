#include "PictureLoader.h"

#include "BoundedPictureReader.h"
#include "PicturePool.h"

#include <QBuffer>
#include <QFuture>
#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

// A picture that trickles in would otherwise hold its connection for good.
constexpr auto downloadDeadline = 60s;
constexpr auto idleTimeout = 30s;
// Qt reads no further ahead than this, so that memory stays near the cap whatever is sent.
constexpr qint64 readAhead = 256 * 1024;
// Decoded pictures kept for items made again, in KiB.
constexpr int decodedCacheKb = 64 * 1024;

const char loaderProperty[] = "vorlanePictureLoader";

// The most decoding a picture from the network may allocate: Qt's own default bound, which stays in
// force for every reader in the process.
constexpr qint64 maxDecodeBytes = 128LL * 1024 * 1024;

QImage decodePicture(QByteArray data)
{
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    // Only the shorter side is bounded: a long thin picture must never be scaled up on the way.
    return BoundedPictureReader::read(buffer,
                                      {.maxBytes = maxDecodeBytes, .maxShorterSide = PictureLoader::maxStoredSide});
}

} // namespace

PictureLoader::PictureLoader(QNetworkAccessManager *network) : QObject(network), m_network(network)
{
    m_decoded.setMaxCost(decodedCacheKb);
}

PictureLoader::~PictureLoader()
{
    for (const Pending &pending : std::as_const(m_pending)) {
        if (pending.reply) {
            pending.reply->disconnect(this);
            pending.reply->abort();
        }
    }
}

PictureLoader *PictureLoader::of(QNetworkAccessManager *network)
{
    if (auto *loader = qobject_cast<PictureLoader *>(network->property(loaderProperty).value<QObject *>()))
        return loader;
    auto *loader = new PictureLoader(network);
    network->setProperty(loaderProperty, QVariant::fromValue<QObject *>(loader));
    return loader;
}

bool PictureLoader::isFetchable(const QUrl &url)
{
    const QString scheme = url.scheme();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QImage PictureLoader::cached(const QUrl &url)
{
    const QImage *image = m_decoded.object(url);
    return image ? *image : QImage();
}

void PictureLoader::request(const QUrl &url, QObject *context, std::function<void(const QImage &)> done)
{
    auto pending = m_pending.find(url);
    const bool fresh = pending == m_pending.end();
    if (fresh)
        pending = m_pending.insert(url, Pending{});
    pending->waiters.append(Waiter{context, std::move(done)});
    if (!fresh)
        return;
    if (!isFetchable(url)) {
        // Failing later, as a download does, keeps one order of events for every address.
        QTimer::singleShot(0, this, [this, url] { finish(url, QImage()); });
        return;
    }
    start(url);
}

void PictureLoader::release(const QUrl &url, QObject *context)
{
    const auto pending = m_pending.find(url);
    if (pending == m_pending.end())
        return;
    pending->waiters.removeIf([context](const Waiter &waiter) { return !waiter.context || waiter.context == context; });
    // A download is dropped with its last item; a picture already downloaded is decoded and kept.
    if (pending->waiters.isEmpty() && pending->reply) {
        QNetworkReply *reply = pending->reply;
        m_pending.erase(pending);
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void PictureLoader::start(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(int(std::chrono::milliseconds(idleTimeout).count()));
    // A redirect may only lead to another web address.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply *reply = m_network->get(request);
    reply->setReadBufferSize(readAhead);
    m_pending[url].reply = reply;

    const auto fail = [this, url] { finish(url, QImage()); };
    connect(reply, &QNetworkReply::redirected, this, [reply, fail](const QUrl &target) {
        if (isFetchable(target))
            Q_EMIT reply->redirectAllowed();
        else
            fail();
    });
    connect(reply, &QNetworkReply::metaDataChanged, this, [reply, fail] {
        // A picture announced as too large is not even begun.
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > maxPictureSize)
            fail();
    });
    connect(reply, &QIODevice::readyRead, this, [this, url] { take(url); });
    connect(reply, &QNetworkReply::finished, this, [this, url] { downloaded(url); });
    QTimer::singleShot(downloadDeadline, reply, fail);
}

void PictureLoader::take(const QUrl &url)
{
    const auto pending = m_pending.find(url);
    if (pending == m_pending.end() || !pending->reply)
        return;
    QNetworkReply *reply = pending->reply;
    if (reply->bytesAvailable() > maxPictureSize - pending->data.size()) {
        finish(url, QImage());
        return;
    }
    pending->data += reply->readAll();
}

void PictureLoader::downloaded(const QUrl &url)
{
    const auto pending = m_pending.find(url);
    if (pending == m_pending.end() || !pending->reply)
        return;
    QNetworkReply *reply = pending->reply;
    take(url);
    if (!m_pending.contains(url))
        return;
    if (reply->error() != QNetworkReply::NoError) {
        finish(url, QImage());
        return;
    }
    reply->disconnect(this);
    reply->deleteLater();
    pending->reply = nullptr;

    const QFuture<QImage> decoded =
        PicturePool::run([data = std::exchange(pending->data, {})] { return decodePicture(data); });
    // A watcher owned by the loader, not QFuture::then with the loader as context: a decode that
    // ends after the loader is gone must find nobody to call, and then's context check asserts
    // on the worker thread instead.
    auto *watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, url] {
        watcher->deleteLater();
        finish(url, watcher->future().resultCount() > 0 ? watcher->result() : QImage());
    });
    watcher->setFuture(decoded);
}

void PictureLoader::finish(const QUrl &url, const QImage &image)
{
    const auto pending = m_pending.find(url);
    if (pending == m_pending.end())
        return;
    if (pending->reply) {
        pending->reply->disconnect(this);
        pending->reply->abort();
        pending->reply->deleteLater();
    }
    const QList<Waiter> waiters = pending->waiters;
    m_pending.erase(pending);
    if (!image.isNull())
        m_decoded.insert(url, new QImage(image), std::max<int>(1, int(image.sizeInBytes() / 1024)));
    // A waiter's call may ask for another address, or this one again: the entry is gone by now.
    for (const Waiter &waiter : waiters) {
        if (waiter.context)
            waiter.done(image);
    }
}
