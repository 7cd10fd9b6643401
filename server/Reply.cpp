#include "Reply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <httplib.h>

namespace {
const char *const JsonType = "application/json; charset=utf-8";
}

void Reply::json(httplib::Response &res, const QByteArray &body)
{
    res.status = 200;
    res.set_content(body.constData(), size_t(body.size()), JsonType);
}

void Reply::shared(const httplib::Request &req, httplib::Response &res, const QByteArray &body)
{
    // A copy into the response's own string, for a reply above the allocator's mapping threshold,
    // is a fresh mapping zeroed and faulted in for every request.
    if (body.isEmpty())
        return json(res, body);
    // httplib 0.11 applies a Range header to streamed content without checking it against the
    // length; the whole reply is always a valid answer to one.
    const_cast<httplib::Request &>(req).ranges.clear();
    res.status = 200;
    res.set_content_provider(size_t(body.size()), JsonType,
                             [body](size_t offset, size_t length, httplib::DataSink &sink) {
                                 return sink.write(body.constData() + offset, length);
                             });
}

void Reply::value(httplib::Response &res, const QJsonValue &value)
{
    const QByteArray body = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                                            : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    json(res, body);
}

void Reply::refuse(httplib::Response &res, const QString &message)
{
    json(res, envelope(false, message));
}

void Reply::success(httplib::Response &res, const QString &message, const QJsonValue &data)
{
    json(res, envelope(true, message, data));
}

QByteArray Reply::envelope(bool success, const std::optional<QString> &message, const QJsonValue &data)
{
    QJsonObject object{{QStringLiteral("success"), success}};
    if (message)
        object.insert(QStringLiteral("message"), *message);
    if (!data.isUndefined() && !data.isNull())
        object.insert(QStringLiteral("data"), data);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
