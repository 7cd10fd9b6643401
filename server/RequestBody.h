#pragma once

#include <QJsonObject>
#include <optional>

namespace httplib {
struct Request;
struct Response;
class ContentReader;
}

namespace RequestBody {
constexpr qint64 JsonLimit = 16LL * 1024 * 1024;
constexpr qint64 FileLimit = 1024LL * 1024 * 1024;
// Room for the part headers and boundaries around a file of the largest size.
constexpr qint64 MultipartOverhead = 64 * 1024;
// A body that overshoots its cap by at most this much is still read to its end (and dropped),
// so that the client, still sending, receives the refusal instead of a reset connection.
constexpr qint64 DrainLimit = 64LL * 1024 * 1024;

// The Content-Length the client announced, or -1 when it sent none (chunked).
qint64 declaredLength(const httplib::Request &req);

// True when the announced length is too large to be read at all; the refusal is then written
// and the connection is closed after it.
bool refuseOversized(const httplib::Request &req, httplib::Response &res, qint64 cap, const QString &message);

// The body as a JSON object, or nothing after writing the refusal.
std::optional<QJsonObject> readJsonObject(const httplib::Request &req, httplib::Response &res,
                                          const httplib::ContentReader &reader);

// A member that must be a string; nothing when it is missing or of another type.
std::optional<QString> text(const QJsonObject &object, const QString &key);
}
