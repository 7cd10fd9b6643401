#pragma once

#include "ReplyDecoder.h"

#include <QByteArray>
#include <QCoroTask>
#include <QImage>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

class QNetworkRequest;

// The one HTTP client of the application. Every call runs on the GUI thread's event loop
// (QNetworkAccessManager is asynchronous already; a photo is encoded on a pool thread) and throws
// a VorlaneError on failure: NetworkError for the client's own kinds, TransferError for a request
// that did not complete, DecodingError for an upload reply that is not an envelope, FileReadError
// for an unreadable file.
class NetworkManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString baseURL READ baseURL WRITE setBaseURL NOTIFY baseURLChanged)

public:
    static NetworkManager &shared();

    // A reply body beyond this is not read: the request fails with a TransferError.
    static constexpr qint64 maxReplySize = 64 * 1024 * 1024;
    // Idle time-outs: a request fails once its transfer has been silent this long.
    static constexpr std::chrono::milliseconds requestTimeout{120000};
    static constexpr std::chrono::milliseconds fileUploadTimeout{300000};
    // However the reply trickles in, a request ends this many idle time-outs after it was sent (an
    // upload: after its body was), failing as a transfer time-out does. Far enough out that a reply
    // silent for nearly its time-out and then sent whole, even slowly, still arrives.
    static constexpr int deadlineFactor = 5;

    QString baseURL() const { return m_baseURL; }
    void setBaseURL(const QString &baseURL);
    std::optional<QString> authToken() const { return m_authToken; }
    void setAuthToken(const std::optional<QString> &authToken);

    // Sends one request to baseURL + "/" + endpoint and decodes the reply as T, accepting it
    // bare or inside an envelope. A caller that asks for APIResponse<X> gets the service's
    // envelope whether it reports success or not.
    template <class T>
    QCoro::Task<T> request(const QString &endpoint, const QString &method = QStringLiteral("GET"),
                           std::optional<QByteArray> body = {})
    {
        const QByteArray reply = co_await send(endpoint, method, std::move(body));
        co_return ReplyDecoder::decode<T>(reply);
    }

    // The undecoded reply to a GET of `endpoint`, for a caller that decides whether to decode it
    // (with ReplyDecoder, as request() does); fails as request() does before decoding.
    QCoro::Task<QByteArray> fetch(const QString &endpoint) { return send(endpoint, QStringLiteral("GET"), {}); }
    // A short fingerprint of a reply's bytes: equal bytes give equal fingerprints, and different
    // ones do not in practice (128 bits from two keyed hashes, and the length).
    static QByteArray digest(const QByteArray &bytes);

    template <class T>
    QCoro::Task<T> request(const QString &endpoint, const QString &method, const QJsonObject &jsonBody)
    {
        return request<T>(endpoint, method, std::optional<QByteArray>(jsonBytes(jsonBody)));
    }

    // Stores a photo (as JPEG at quality 70) and returns the address the service gives it. The
    // service takes a photo's body up to 16 MiB: a square of 4,096 pixels a side, even of pure
    // noise, encodes to 9.3 MB, 12.4 MB as base64.
    QCoro::Task<QString> uploadImage(const QImage &image);
    // Stores a local file, streamed from disk as multipart form data, and returns its address.
    QCoro::Task<QString> uploadFile(const QString &localPath);

    // Tests shorten the idle time-outs to see an expiring one; zero restores the usual ones. The
    // deadline follows the idle time-out in force unless it is overridden too.
    void setTimeoutOverride(std::chrono::milliseconds timeout) { m_timeoutOverride = timeout; }
    // Likewise for the deadline, so that a test of it need not wait ten minutes.
    void setDeadlineOverride(std::chrono::milliseconds deadline) { m_deadlineOverride = deadline; }

Q_SIGNALS:
    void baseURLChanged();
    void authTokenChanged();
    // The service answered a read: a list was loaded again, so pictures that failed to load while
    // it was out of reach are worth another try.
    void readAnswered();

private:
    NetworkManager();

    QCoro::Task<QByteArray> send(QString endpoint, QString method, std::optional<QByteArray> body);
    std::optional<QUrl> address(const QString &path) const;
    // Sets the request's idle time-out and gives the deadline that goes with it.
    std::chrono::milliseconds applyTimeout(QNetworkRequest &request, std::chrono::milliseconds usual) const;
    static QByteArray jsonBytes(const QJsonObject &object);
    // The JSON body of a photo upload (JPEG at quality 70, in base64); empty when the photo gives
    // no JPEG. Made on a pool thread.
    static QByteArray photoBody(const QImage &image);

    QNetworkAccessManager m_network;
    QString m_baseURL;
    std::optional<QString> m_authToken;
    std::chrono::milliseconds m_timeoutOverride{0};
    std::chrono::milliseconds m_deadlineOverride{0};
};
