#include "RequestBody.h"

#include "Reply.h"
#include "ServiceServer.h"

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
    ServiceServer::closeAfterReply(res);
}

// Few enough structural characters outside strings for the parser to cost about the body's size.
bool isFlat(QByteArrayView json)
{
    int structural = 0;
    bool inString = false;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if ((c == '{' || c == '}' || c == '[' || c == ']' || c == ',' || c == ':') &&
                   ++structural > RequestBody::MostStructuralCharacters) {
            return false;
        }
    }
    return true;
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
    if (chunked || declaredLength(req) > StrayLimit) {
        refuseAndClose(res, tooLarge());
        return true;
    }
    return false;
}

bool RequestBody::readWithin(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader,
                             QByteArray *body, qint64 cap)
{
    if (declaredLength(req) > cap) {
        refuseAndClose(res, tooLarge());
        return false;
    }
    if (body && declaredLength(req) > 0)
        body->reserve(declaredLength(req)); // grown once, not doubled on the way
    qint64 received = 0;
    const bool complete = reader([&](const char *data, size_t size) {
        received += qint64(size);
        if (received > cap)
            return false; // a chunked body announces no length: it is cut where it passes the cap
        if (body)
            body->append(data, qsizetype(size));
        return true;
    });
    if (received > cap) {
        if (body)
            body->clear();
        refuseAndClose(res, tooLarge());
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
                                                       const httplib::ContentReader &reader, qint64 cap)
{
    QByteArray body;
    if (!readWithin(req, res, reader, &body, cap))
        return std::nullopt;
    if (!isFlat(body)) {
        Reply::refuse(res, QStringLiteral("Некорректный запрос"));
        return std::nullopt;
    }
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

QString RequestBody::tooLong(const char *field, qsizetype most)
{
    return QStringLiteral("%1: не более %2 символов").arg(QString::fromUtf8(field)).arg(most);
}
