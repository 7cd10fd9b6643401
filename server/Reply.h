#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <optional>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

// Every answer of a script is JSON with HTTP 200: a bare value for reads, the envelope
// {"success", "message", "data"} for writes and for every refusal. A refusal never uses 401,
// which the client would report as "Требуется авторизация" instead of the message.
namespace Reply {
void json(httplib::Response &res, const QByteArray &body);
// JSON kept and handed to many readers (the feed's reply, megabytes long), sent from the bytes
// themselves: each reply holds a share of them, so a reader never copies it, and a newer reply
// replacing the kept one leaves the bytes being sent as they were. A Range header is ignored.
void shared(const httplib::Request &req, httplib::Response &res, const QByteArray &body);
void value(httplib::Response &res, const QJsonValue &value);
void refuse(httplib::Response &res, const QString &message);
void success(httplib::Response &res, const QString &message, const QJsonValue &data);
QByteArray envelope(bool success, const std::optional<QString> &message, const QJsonValue &data = {});
} // namespace Reply
