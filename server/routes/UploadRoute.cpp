// "upload.php": a photo as base64 in a JSON object, or any allowed file as multipart form data
// (field "file"), streamed to disk as it arrives. The reply's "url" is where the file is served.
#include "MediaStore.h"
#include "MultipartStream.h"
#include "Reply.h"
#include "RequestBody.h"
#include "Routes.h"
#include "ServiceContext.h"
#include "ServiceServer.h"

#include <QJsonObject>
#include <httplib.h>

#include <chrono>
#include <semaphore>

namespace {
QString tooLargeFile()
{
    return QStringLiteral("Файл слишком большой: не более 1 ГБ");
}

void replyStored(httplib::Response &res, ServiceContext &context, MediaStore::Incoming &file)
{
    const std::optional<QString> path = file.commit();
    if (!path)
        return Reply::refuse(res, QStringLiteral("Не удалось сохранить файл"));
    Reply::success(res, QStringLiteral("Файл загружен"), QJsonObject{{QStringLiteral("url"), context.absolute(*path)}});
}

// Photos in JSON are the only bodies read whole into memory, up to 16 MiB, and cost a few times
// that on the way to the file: only a few are taken in at once, the others wait their turn.
std::counting_semaphore<> &photoSlots()
{
    static std::counting_semaphore<> turns(4);
    return turns;
}

class PhotoSlot
{
public:
    PhotoSlot() : m_taken(photoSlots().try_acquire_for(std::chrono::seconds(30))) {}
    ~PhotoSlot()
    {
        if (m_taken)
            photoSlots().release();
    }
    PhotoSlot(const PhotoSlot &) = delete;
    PhotoSlot &operator=(const PhotoSlot &) = delete;
    bool taken() const { return m_taken; }

private:
    bool m_taken;
};

void uploadPhoto(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader,
                 ServiceContext &context)
{
    std::optional<PhotoSlot> slot;
    const qint64 length = RequestBody::declaredLength(req);
    if (length < 0 || length > RequestBody::StrayLimit) {
        slot.emplace();
        if (!slot->taken()) {
            Reply::refuse(res, QStringLiteral("Сервер занят, повторите попытку позже"));
            ServiceServer::closeAfterReply(res);
            return;
        }
    }
    QByteArray base64;
    std::optional<QString> extension;
    {
        // The parsed body and its text are let go as soon as the bytes to decode are taken out.
        const std::optional<QJsonObject> body = RequestBody::readJsonObject(req, res, reader, RequestBody::PhotoLimit);
        if (!body)
            return;
        const std::optional<QString> data = RequestBody::text(*body, QStringLiteral("base64_data"));
        if (!data || data->isEmpty())
            return Reply::refuse(res, QStringLiteral("Файл не получен"));
        // A photo is a JPEG unless the request names another picture type.
        const QJsonValue requested = body->value(QStringLiteral("extension"));
        extension = requested.isUndefined() || requested.isNull() ? std::optional<QString>(QStringLiteral("jpg"))
                                                                  : MediaStore::allowedExtension(requested.toString());
        if (!extension || !MediaStore::isImageExtension(*extension))
            return Reply::refuse(res, QStringLiteral("Недопустимый тип файла"));
        base64 = data->toLatin1();
    }
    const QByteArray::FromBase64Result decoded =
        QByteArray::fromBase64Encoding(std::move(base64), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return Reply::refuse(res, QStringLiteral("Некорректные данные изображения"));

    const std::unique_ptr<MediaStore::Incoming> file = context.media.receive(*extension);
    if (!file->isOpen() || !file->write(decoded.decoded.constData(), decoded.decoded.size()))
        return Reply::refuse(res, QStringLiteral("Не удалось сохранить файл"));
    replyStored(res, context, *file);
}

void uploadFile(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader,
                ServiceContext &context)
{
    if (RequestBody::refuseOversized(req, res, RequestBody::FileLimit + RequestBody::MultipartOverhead, tooLargeFile()))
        return;

    // Only the first part named "file" with a file name is kept; other parts are read and dropped.
    enum class Part { Ignored, Stored };
    Part current = Part::Ignored;
    bool seenFile = false;
    std::optional<QString> refusal;
    std::unique_ptr<MediaStore::Incoming> file;
    qint64 received = 0;

    const std::optional<QByteArray> boundary = MultipartStream::boundaryOf(req.get_header_value("Content-Type"));
    if (!boundary) {
        Reply::refuse(res, QStringLiteral("Некорректный запрос"));
        ServiceServer::closeAfterReply(res);
        return;
    }
    MultipartStream stream(
        *boundary,
        [&](const MultipartStream::Part &part) {
            current = Part::Ignored;
            if (part.name != "file" || seenFile || refusal)
                return true;
            seenFile = true;
            // The client's name only gives the extension; the file is stored under a name made here.
            const QString name = QString::fromUtf8(part.fileName);
            const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
            const std::optional<QString> extension =
                dot < 0 ? std::nullopt : MediaStore::allowedExtension(name.mid(dot + 1));
            if (!extension) {
                refusal = QStringLiteral("Недопустимый тип файла");
                return true;
            }
            file = context.media.receive(*extension);
            if (!file->isOpen()) {
                refusal = QStringLiteral("Не удалось сохранить файл");
                return true;
            }
            current = Part::Stored;
            return true;
        },
        [&](const char *data, size_t size) {
            if (current != Part::Stored || refusal)
                return true;
            if (file->size() + qint64(size) > RequestBody::FileLimit) {
                refusal = tooLargeFile();
                file.reset();
                return true;
            }
            if (!file->write(data, qint64(size))) {
                refusal = QStringLiteral("Не удалось сохранить файл");
                file.reset();
            }
            return true;
        });

    // httplib would parse the parts itself; handed over as plain bytes, the body goes through the
    // stream above instead. (The request object is httplib's own, not const; only its view is.)
    auto &headers = const_cast<httplib::Request &>(req).headers;
    headers.erase("Content-Type");
    headers.emplace("Content-Type", "application/octet-stream");
    const bool complete = reader([&](const char *data, size_t size) {
        received += qint64(size);
        if (received > RequestBody::FileLimit + RequestBody::MultipartOverhead + RequestBody::DrainLimit) {
            // A chunked body announces no length: past the drain, stop reading it.
            refusal = tooLargeFile();
            return false;
        }
        return stream.feed(data, size);
    });

    if (!complete || !stream.isComplete()) {
        file.reset();
        Reply::refuse(res, refusal.value_or(QStringLiteral("Некорректный запрос")));
        ServiceServer::closeAfterReply(res);
        return;
    }
    if (refusal)
        return Reply::refuse(res, *refusal);
    if (!file)
        return Reply::refuse(res, QStringLiteral("Файл не получен"));
    replyStored(res, context, *file);
}
}

void Routes::addUpload(httplib::Server &server, ServiceContext &context)
{
    server.Post("/api/upload\\.php",
                [&context](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
                    if (req.is_multipart_form_data())
                        uploadFile(req, res, reader, context);
                    else
                        uploadPhoto(req, res, reader, context);
                });
}
