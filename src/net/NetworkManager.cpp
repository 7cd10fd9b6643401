#include "NetworkManager.h"

#include "FileReadError.h"
#include "MultipartFileBody.h"
#include "ParseCost.h"
#include "PickedCopies.h"
#include "PicturePool.h"
#include "TransferError.h"

#include <QBuffer>
#include <QCoroFuture>
#include <QCoroNetworkReply>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QMap>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QTimer>

#include <array>
#include <cerrno>
#include <memory>

using namespace std::chrono_literals;

// The deadline is a guard against a reply that never ends, never a shorter limit than the idle
// time-out that lets a slow reply through.
static_assert(NetworkManager::deadlineFactor * NetworkManager::requestTimeout >= 5min);
static_assert(NetworkManager::deadlineFactor * NetworkManager::fileUploadTimeout >= 15min);

namespace {

// Qt reads no further ahead of the client than this, so that a reply past the size cap costs
// the cap and this much, not whatever the peer manages to send before the abort lands.
constexpr qint64 readAhead = 1024 * 1024;
// Room the JSON reader needs past a body's last byte to parse the body where it lies instead of
// in a padded copy of it.
constexpr qint64 parsePadding = 64;

struct LaterDeleter
{
    // A reply is released while its finished() signal is still being delivered.
    void operator()(QNetworkReply *reply) const { reply->deleteLater(); }
};

struct Received
{
    QByteArray body;
    int status = 0;
};

// Qt turns a few HTTP statuses into protocol or proxy error kinds (400 and 418 into
// ProtocolInvalidOperationError, 407 into ProxyAuthenticationRequiredError); those replies still
// carry a whole body and are not failed transfers.
bool isStatusError(QNetworkReply::NetworkError code, int status)
{
    switch (status) {
    case 400:
    case 418:
        return code == QNetworkReply::ProtocolInvalidOperationError;
    case 407:
        return code == QNetworkReply::ProxyAuthenticationRequiredError;
    default:
        return false;
    }
}

enum class DeadlineFrom { Start, BodySent };

// The reply fails as timed out once the deadline has passed: the transfer time-out alone only
// sees silence, and a peer sending a byte now and then would keep the request for good. An
// upload's deadline starts once its body is sent, however long sending it took.
void armDeadline(QNetworkReply *reply, std::chrono::milliseconds deadline, DeadlineFrom from,
                 const std::shared_ptr<bool> &expired)
{
    // The reply owns the timer: a coroutine frame may end inside the timer's own signal.
    auto *timer = new QTimer(reply);
    // A coarse timer may fire a twentieth early: the deadline must never come before its time.
    timer->setTimerType(Qt::PreciseTimer);
    timer->setSingleShot(true);
    timer->setInterval(deadline);
    QObject::connect(timer, &QTimer::timeout, reply, [reply, expired] {
        *expired = true;
        reply->abort();
    });
    if (from == DeadlineFrom::Start) {
        timer->start();
        return;
    }
    const auto startOnce = [timer] {
        if (!timer->isActive())
            timer->start();
    };
    QObject::connect(reply, &QNetworkReply::uploadProgress, timer, [startOnce](qint64 sent, qint64 total) {
        if (sent == total)
            startOnce();
    });
    // A reply that has begun ends the sending, whether the body went out whole or not.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, timer, startOnce);
}

QCoro::Task<Received> receive(QNetworkReply *reply, std::chrono::milliseconds deadline, DeadlineFrom from)
{
    const std::unique_ptr<QNetworkReply, LaterDeleter> owner(reply);
    // Qt passes the limit on to its network thread only once the request has started there. A
    // request without a body starts at once, one with a body (every write) an event later: the
    // limit is given again after that event, or Qt would read a write's reply as fast as it comes.
    reply->setReadBufferSize(readAhead);
    QMetaObject::invokeMethod(
        reply, [reply] { reply->setReadBufferSize(readAhead); }, Qt::QueuedConnection);
    const auto expired = std::make_shared<bool>(false);
    armDeadline(reply, deadline, from, expired);
    // Read as it arrives, so that a body without end stops at the limit instead of filling memory.
    QByteArray body;
    bool tooLarge = false;
    const auto take = [reply, &body, &tooLarge] {
        if (tooLarge || !reply->isOpen())
            return;
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (announced > NetworkManager::maxReplySize ||
            reply->bytesAvailable() > NetworkManager::maxReplySize - body.size()) {
            tooLarge = true;
            // Last: aborting finishes the reply, which may end this coroutine and its frame at once.
            reply->abort();
            return;
        }
        if (body.capacity() == 0 && reply->bytesAvailable() > 0) {
            // Room for the whole body at once: growing by copies would hold two bodies at a time.
            // Past the mapping threshold untouched room costs address space, not memory.
            body.reserve(
                (announced > 0 ? std::min(announced, NetworkManager::maxReplySize) : NetworkManager::maxReplySize) +
                parsePadding);
        }
        body += reply->readAll();
    };
    const QMetaObject::Connection reading = QObject::connect(reply, &QIODevice::readyRead, reply, take);
    const auto stopReading = qScopeGuard([&reading] { QObject::disconnect(reading); });
    co_await reply;
    take();
    if (tooLarge)
        throw TransferError(QNetworkReply::OperationCanceledError,
                            QStringLiteral("Ответ сервера слишком большой: больше %1 МиБ")
                                .arg(NetworkManager::maxReplySize / (1024 * 1024)));
    if (*expired)
        throw TransferError(QNetworkReply::OperationCanceledError);
    const QNetworkReply::NetworkError code = reply->error();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (TransferError::isTransferFailure(code) && !isStatusError(code, status))
        throw TransferError(code);
    co_return Received{std::move(body), status};
}

QString uploadedAddress(const QByteArray &body, const QString &fallback)
{
    // Not an envelope: the decoding failure itself goes to the caller.
    if (const std::optional<DecodingError> tooDense = ParseCost::refusal(body))
        throw *tooDense;
    const auto envelope = decodeJson<APIResponse<QMap<QString, QString>>>(body);
    if (envelope.success && envelope.data) {
        const auto url = envelope.data->constFind(QStringLiteral("url"));
        // An empty address stores nothing the caller could use.
        if (url != envelope.data->constEnd() && !url->isEmpty())
            return *url;
    }
    throw NetworkError::serverError(envelope.message.value_or(fallback));
}

} // namespace

NetworkManager::NetworkManager() : m_baseURL(QStringLiteral(VORLANE_SITE_URL "/api")) {}

NetworkManager &NetworkManager::shared()
{
    // Lives to the end of the process; never destroyed, so no reply outlives its manager.
    static NetworkManager *const instance = new NetworkManager;
    return *instance;
}

void NetworkManager::setBaseURL(const QString &baseURL)
{
    m_baseURL = baseURL;
    Q_EMIT baseURLChanged();
}

void NetworkManager::setAuthToken(const std::optional<QString> &authToken)
{
    m_authToken = authToken;
    Q_EMIT authTokenChanged();
}

std::optional<QUrl> NetworkManager::address(const QString &path) const
{
    // The tolerant mode would accept spaces and other text that is no address.
    const QUrl url(m_baseURL + QLatin1Char('/') + path, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

std::chrono::milliseconds NetworkManager::applyTimeout(QNetworkRequest &request, std::chrono::milliseconds usual) const
{
    const std::chrono::milliseconds idle = m_timeoutOverride.count() > 0 ? m_timeoutOverride : usual;
    request.setTransferTimeout(int(idle.count()));
    return m_deadlineOverride.count() > 0 ? m_deadlineOverride : deadlineFactor * idle;
}

QByteArray NetworkManager::jsonBytes(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QCoro::Task<QByteArray> NetworkManager::send(QString endpoint, QString method, std::optional<QByteArray> body)
{
    const std::optional<QUrl> url = address(endpoint);
    if (!url)
        throw NetworkError::invalidURL();

    QNetworkRequest request(*url);
    const std::chrono::milliseconds deadline = applyTimeout(request, requestTimeout);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    if (m_authToken)
        request.setRawHeader("Authorization", "Bearer " + m_authToken->toUtf8());

    QNetworkReply *reply = body ? m_network.sendCustomRequest(request, method.toUtf8(), *body)
                                : m_network.sendCustomRequest(request, method.toUtf8());
    const Received received = co_await receive(reply, deadline, DeadlineFrom::Start);
    if (method == QLatin1String("GET"))
        Q_EMIT readAnswered();
    if (received.status == 401)
        throw NetworkError::unauthorized();
    co_return received.body;
}

QByteArray NetworkManager::photoBody(const QImage &image)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "JPG", 70) || jpeg.isEmpty())
        return {};
    return jsonBytes(QJsonObject{{QStringLiteral("base64_data"), QString::fromLatin1(jpeg.toBase64())},
                                 {QStringLiteral("extension"), QStringLiteral("jpg")}});
}

QCoro::Task<QString> NetworkManager::uploadImage(const QImage &image)
{
    // Encoding a photo of a few thousand pixels a side, and its base64, take many frames: both run
    // on the picture pool while the window draws on. The future is named: g++ 12 mishandles a lambda
    // made inside a co_await expression.
    const QFuture<QByteArray> encoding = PicturePool::run([image] { return photoBody(image); });
    const QByteArray body = co_await encoding;
    if (body.isEmpty())
        throw NetworkError::decodingError(QStringLiteral("Ошибка сжатия изображения"));

    const std::optional<QUrl> url = address(QStringLiteral("upload.php"));
    if (!url)
        throw NetworkError::invalidURL();

    QNetworkRequest request(*url);
    const std::chrono::milliseconds deadline = applyTimeout(request, requestTimeout);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    const Received received = co_await receive(m_network.post(request, body), deadline, DeadlineFrom::BodySent);
    co_return uploadedAddress(received.body, QStringLiteral("Ошибка загрузки фото"));
}

QCoro::Task<QString> NetworkManager::uploadFile(const QString &localPath)
{
    // Checked on the opened descriptor, as the pickers read: a FIFO or a device is never read. A
    // picked copy is opened through its folder's descriptor, never through a link put on its path.
    const int fd = PickedCopies::open(localPath);
    if (fd < 0)
        throw FileReadError(qt_error_string(errno));
    const QString boundary = MultipartFileBody::newBoundary();
    // The body owns the descriptor from here on, on every path out.
    auto body = std::make_unique<MultipartFileBody>(fd, QFileInfo(localPath).fileName(), boundary);

    const std::optional<QUrl> url = address(QStringLiteral("upload.php"));
    if (!url)
        throw NetworkError::invalidURL();

    QNetworkRequest request(*url);
    const std::chrono::milliseconds deadline = applyTimeout(request, fileUploadTimeout);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("multipart/form-data; boundary=") + boundary);
    // With a known length and this flag Qt reads the body as it sends instead of copying it first.
    request.setHeader(QNetworkRequest::ContentLengthHeader, body->size());
    request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
    QNetworkReply *reply = m_network.post(request, body.get());
    body.release()->setParent(reply);
    const Received received = co_await receive(reply, deadline, DeadlineFrom::BodySent);
    co_return uploadedAddress(received.body, QStringLiteral("Ошибка загрузки файла"));
}

QByteArray NetworkManager::digest(const QByteArray &bytes)
{
    // Fixed keys: fingerprints are compared within one run only, and never leave the process.
    const std::array<quint64, 3> parts{quint64(qHash(bytes, size_t(0x9e3779b97f4a7c15ULL))),
                                       quint64(qHash(bytes, size_t(0xc2b2ae3d27d4eb4fULL))), quint64(bytes.size())};
    return QByteArray(reinterpret_cast<const char *>(parts.data()), qsizetype(sizeof parts));
}
