#include "RequestBody.h"

#include "Reply.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <httplib.h>

qint64 RequestBody::declaredLength(const httplib::Request &req)
{
    if (!req.has_header("Content-Length"))
        return -1;
    const std::string value = req.get_header_value("Content-Length");
    bool ok = false;
    const qint64 length = QByteArray::fromStdString(value).toLongLong(&ok);
    return ok && length >= 0 ? length : -1;
}

bool RequestBody::refuseOversized(const httplib::Request &req, httplib::Response &res, qint64 cap,
                                  const QString &message)
{
    if (declaredLength(req) <= cap + DrainLimit)
        return false;
    Reply::refuse(res, message);
    res.set_header("Connection", "close");
    return true;
}

std::optional<QJsonObject> RequestBody::readJsonObject(const httplib::Request &req, httplib::Response &res,
                                                       const httplib::ContentReader &reader)
{
    const QString tooLarge = QStringLiteral("Слишком большой запрос");
    if (refuseOversized(req, res, JsonLimit, tooLarge))
        return std::nullopt;

    QByteArray body;
    bool overflow = false;
    const bool complete = reader([&](const char *data, size_t size) {
        if (overflow || body.size() + qint64(size) > JsonLimit) {
            overflow = true;
            body.clear();
            return true; // keep reading, so that the reply reaches the client
        }
        body.append(data, qsizetype(size));
        return true;
    });
    if (overflow) {
        Reply::refuse(res, tooLarge);
        return std::nullopt;
    }
    if (!complete) {
        Reply::refuse(res, QStringLiteral("Некорректный запрос"));
        res.set_header("Connection", "close");
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
