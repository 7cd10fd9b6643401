#pragma once

#include "Post.h"
#include "User.h"

// Posts made in the test, for screens that need no service.
namespace FeedTestPosts {

inline User author(qint64 id = 7)
{
    User user;
    user.id = id;
    user.username = QStringLiteral("ivan");
    user.firstName = QStringLiteral("Иван");
    user.lastName = QStringLiteral("Петров");
    return user;
}

inline PostAttachment attachment(const QString &id, PostAttachment::AttachmentType type, const QString &url)
{
    PostAttachment item;
    item.id = id;
    item.type = type;
    item.url = url;
    return item;
}

inline Post post(qint64 id, const QString &text, const User &by = author())
{
    Post item;
    item.id = id;
    item.author = by;
    item.text = text;
    item.likesCount = 3;
    item.commentsCount = 2;
    item.repostsCount = 1;
    item.viewsCount = 40;
    item.createdAtFormatted = QStringLiteral("5 минут назад");
    return item;
}

} // namespace FeedTestPosts
