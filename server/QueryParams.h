#pragma once

#include <QString>
#include <optional>

namespace httplib {
struct Request;
}

// Query values read from the request target. httplib keeps only the text after the last "=" of
// a pair ("user_id=1 OR 1=1" would read as "1"); here a pair splits at its first "=".
namespace QueryParams {
std::optional<QString> value(const httplib::Request &req, const QString &key);
// The value as a whole decimal integer, or nothing (also for a missing key).
std::optional<qint64> integer(const httplib::Request &req, const QString &key);
}
