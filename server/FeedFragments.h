#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <memory>
#include <vector>

struct ServiceContext;

// The feed's posts and their authors as reply bytes, kept between replies so that a write costs
// a reply only the posts and authors it touched. What changes with the clock (a post's time, an
// author's last visit) is left out of the kept bytes and written in for each reply, so kept
// pieces stay valid however old they are. Read within the caller's read transaction.
class FeedFragments
{
public:
    // Every post and author, read anew.
    static FeedFragments read(ServiceContext &context);
    // These posts and authors read again (dropped when gone); the rest kept as they are.
    void update(ServiceContext &context, const QSet<qint64> &posts, const QSet<qint64> &users);
    // The feed as of the second `now`, newest first.
    QByteArray reply(qint64 now) const;

private:
    struct Post
    {
        qint64 id = 0;
        qint64 createdAt = 0;
        qint64 authorId = 0;
        // The post with its author and time cut out at these offsets.
        QByteArray bytes;
        qsizetype authorAt = 0;
        qsizetype timeAt = 0;
    };
    struct Author
    {
        // The user with "last_seen_text" cut out at `seenAt`; `lastSeen` < 0 when there is none.
        QByteArray bytes;
        qsizetype seenAt = 0;
        qint64 lastSeen = -1;
    };
    class Reader;

    // Newest first, as the feed lists them; a post whose author is gone is left out of replies.
    std::vector<std::shared_ptr<const Post>> m_posts;
    QHash<qint64, std::shared_ptr<const Author>> m_authors;
};
