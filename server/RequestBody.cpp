#include "RequestBody.h"

#include "Reply.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <httplib.h>

namespace {
const QString &tooLarge()
{
    static const QString message = QStringLiteral("Слишком большой запрос");
    return message;
}

void refuseAndClose(httplib::Response &res, const QString &message)
{
    Reply::refuse(res, message);
    // What is left of the body is not read: the connection cannot carry another request.
    res.set_header("Connection", "close");
}

// The announced length, -1 without one; nothing when the header holds no length.
std::optional<qint64> announcedLength(const httplib::Request &req)
{
    if (!req.has_header("Content-Length"))
        return -1;
    bool ok = false;
    const qint64 length = QByteArray::fromStdString(req.get_header_value("Content-Length")).toLongLong(&ok);
    return ok && length >= 0 ? std::optional<qint64>(length) : std::nullopt;
}
}

qint64 RequestBody::declaredLength(const httplib::Request &req)
{
    return announcedLength(req).value_or(-1);
}

bool RequestBody::screen(const httplib::Request &req, httplib::Response &res)
{
    // httplib would take "-5" for a length near 2^64 and wait for the bytes until its time-out.
    if (!announcedLength(req)) {
        refuseAndClose(res, QStringLiteral("Некорректный запрос"));
        return true;
    }
    if (req.method == "POST")
        return false; // every POST, known script or not, streams its body through a content reader
    const bool chunked = req.get_header_value("Transfer-Encoding").find("chunked") != std::string::npos;
    if (chunked || declaredLength(req) > JsonLimit) {
        refuseAndClose(res, tooLarge());
        return true;
    }
    return false;
}

bool RequestBody::readWithin(const httplib::Request &req, httplib::Response &res,
                             const httplib::ContentReader &reader, QByteArray *body)
{
    if (refuseOversized(req, res, JsonLimit, tooLarge()))
        return false;
    qint64 received = 0;
    const bool complete = reader([&](const char *data, size_t size) {
        received += qint64(size);
        if (received > JsonLimit) {
            if (body)
                body->clear();
            // Read on so that the reply reaches the client, but not without end (a chunked body
            // announces no length).
            return received <= JsonLimit + DrainLimit;
        }
        if (body)
            body->append(data, qsizetype(size));
        return true;
    });
    if (received > JsonLimit) {
        complete ? Reply::refuse(res, tooLarge()) : refuseAndClose(res, tooLarge());
        return false;
    }
    if (!complete) {
        refuseAndClose(res, QStringLiteral("Некорректный запрос"));
        return false;
    }
    return true;
}

bool RequestBody::refuseOversized(const httplib::Request &req, httplib::Response &res, qint64 cap,
                                  const QString &message)
{
    if (declaredLength(req) <= cap + DrainLimit)
        return false;
    refuseAndClose(res, message);
    return true;
}

std::optional<QJsonObject> RequestBody::readJsonObject(const httplib::Request &req, httplib::Response &res,
                                                       const httplib::ContentReader &reader)
{
    QByteArray body;
    if (!readWithin(req, res, reader, &body))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        Reply::refuse(res, QStringLiteral("Некорректный запрос"));
        return std::nullopt;
    }
    return document.object();
}

std::optional<QString> RequestBody::text(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}
