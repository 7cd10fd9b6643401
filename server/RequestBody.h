#pragma once

#include <QJsonObject>
#include <optional>

namespace httplib {
struct Request;
struct Response;
class ContentReader;
}

namespace RequestBody {
// What a JSON body of `characters` characters of text may take at most: each one written as a
// \u escape, and room for the keys and numbers around them. A script's cap is the sum of its
// fields' caps, so that a body that holds more is refused before it is read, let alone parsed.
constexpr qint64 capFor(qint64 characters)
{
    return characters * 6 + 4096;
}
// A body sent with a method that no script reads it for (httplib reads it whole), or to no script.
constexpr qint64 StrayLimit = 16 * 1024;
// A photo sent as base64 in JSON: the only large JSON body.
constexpr qint64 PhotoLimit = 16LL * 1024 * 1024;
constexpr qint64 FileLimit = 1024LL * 1024 * 1024;
// Room for the part headers and boundaries around a file of the largest size.
constexpr qint64 MultipartOverhead = 64 * 1024;
// A multipart upload that overshoots its cap by at most this much is still read to its end (and
// dropped), so that the client, still sending, receives the refusal instead of a reset connection.
constexpr qint64 DrainLimit = 64LL * 1024 * 1024;
// A JSON body holds flat members: more brackets, commas and colons than this is no request, and
// is refused before the parser spends on it many times the body's size.
constexpr int MostStructuralCharacters = 1024;

// The Content-Length the client announced, or -1 when it sent none (chunked) or one that is no
// length at all.
qint64 declaredLength(const httplib::Request &req);

// Runs before any script: refuses a Content-Length that is no length, and a body that no script
// streams (every method but POST) when it is chunked or over StrayLimit, since httplib would read
// such a body whole into memory. True when the refusal is written.
bool screen(const httplib::Request &req, httplib::Response &res);

// True when the announced length is too large to be read at all; the refusal is then written
// and the connection is closed after it.
bool refuseOversized(const httplib::Request &req, httplib::Response &res, qint64 cap, const QString &message);

// Reads the body within `cap`, into `body` when given (a body no script wants is read and
// dropped); past the cap nothing more is read. False after writing the refusal.
bool readWithin(const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader,
                QByteArray *body, qint64 cap);

// The body, read within `cap`, as a JSON object, or nothing after writing the refusal.
std::optional<QJsonObject> readJsonObject(const httplib::Request &req, httplib::Response &res,
                                          const httplib::ContentReader &reader, qint64 cap);

// A member that must be a string; nothing when it is missing or of another type.
std::optional<QString> text(const QJsonObject &object, const QString &key);

// The refusal for a text over its cap, naming the field: "Название канала: не более 100 символов".
QString tooLong(const char *field, qsizetype most);
}
