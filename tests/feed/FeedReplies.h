#pragma once

#include "Post.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

// Reply bodies and request bodies of "feed.php", for tests that script the service.
namespace FeedReplies {

inline QByteArray list(const QList<Post> &posts)
{
    QByteArrayList items;
    for (const Post &post : posts)
        items << post.toJson();
    return "[" + items.join(',') + "]";
}

inline QByteArray published(const Post &post)
{
    return R"({"success": true, "message": "ok", "data": )" + post.toJson() + "}";
}

inline QJsonObject body(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

} // namespace FeedReplies
