#pragma once

#include "RequestBody.h"

#include <QJsonObject>

namespace httplib {
struct Response;
}
struct ServiceContext;

// The writes of "feed.php": a new post (a body without "action"), a repost toggle and a comment.
// Every refusal is the envelope with a message; nothing is written on a refusal.
namespace FeedWrites {
constexpr qsizetype MaxPostLength = 10000;
constexpr qsizetype MaxCommentLength = 2000;
constexpr qsizetype MaxAddressLength = 2048;
// The largest write is a post with its picture's address.
constexpr qint64 BodyCap = RequestBody::capFor(MaxPostLength + MaxAddressLength);
void handle(const QJsonObject &body, httplib::Response &res, ServiceContext &context);
}
