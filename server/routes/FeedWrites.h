#pragma once

#include <QJsonObject>

namespace httplib {
struct Response;
}
struct ServiceContext;

// The writes of "feed.php": a new post (a body without "action"), a repost toggle and a comment.
// Every refusal is the envelope with a message; nothing is written on a refusal.
namespace FeedWrites {
void handle(const QJsonObject &body, httplib::Response &res, ServiceContext &context);
}
