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

// The Content-Length the client announced, or -1 when it sent none (chunked) or one that is no
// length at all.
qint64 declaredLength(const httplib::Request &req);

// Runs before any script: refuses a Content-Length that is no length, and a body that no script
// streams (every method but POST) when it is chunked or over the JSON cap, since httplib would
// read such a body whole into memory. True when the refusal is written.
bool screen(const httplib::Request &req, httplib::Response &res);

// True when the announced length is too large to be read at all; the refusal is then written
// and the connection is closed after it.
bool refuseOversized(const httplib::Request &req, httplib::Response &res, qint64 cap, const QString &message);

// Reads the body within the JSON cap, into `body` when given (a body no script wants is read to
// its end and dropped); false after writing the refusal.
bool readWithin(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader,
                QByteArray *body);

// The body as a JSON object, or nothing after writing the refusal.
std::optional<QJsonObject> readJsonObject(const httplib::Request &req, httplib::Response &res,
                                          const httplib::ContentReader &reader);

// A member that must be a string; nothing when it is missing or of another type.
std::optional<QString> text(const QJsonObject &object, const QString &key);
}
