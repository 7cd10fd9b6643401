#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <optional>

struct ServiceContext;

// Single posts and comments in their wire form, as "feed.php" sends them. Callers hold the database
// mutex around every call.
namespace FeedRecords {
// One post, or nothing when there is none with this id.
std::optional<QJsonObject> post(ServiceContext &context, qint64 postId);
bool postExists(ServiceContext &context, qint64 postId);
// A post's comments, oldest first.
QJsonArray comments(ServiceContext &context, qint64 postId);
std::optional<QJsonObject> comment(ServiceContext &context, qint64 commentId);
} // namespace FeedRecords
