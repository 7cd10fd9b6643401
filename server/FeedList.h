#pragma once

#include <QByteArray>
#include <QSet>
#include <exception>

struct ServiceContext;

// The feed, newest first, as a bare list of posts, all from one view of the data. Likes and
// reposts are counted over everybody; the service does not know who asks, so the viewer's own
// flags are false.
namespace FeedList {
QByteArray json(ServiceContext &context);
// Made from scratch and kept nowhere: what every reply handed out must equal.
QByteArray fresh(ServiceContext &context);

// Made by a write, under the database mutex, before it commits anything and destroyed before it
// lets the mutex go: names the posts and users whose rows in the feed its commits change, so that
// the next reply reads only those again. Commits no change accounts for (another route, a write
// that failed half-way) make the next reply read everything.
class Change
{
public:
    explicit Change(ServiceContext &context);
    ~Change();
    Change(const Change &) = delete;
    Change &operator=(const Change &) = delete;
    void post(qint64 id) { m_posts.insert(id); }
    void user(qint64 id) { m_users.insert(id); }

private:
    ServiceContext &m_context;
    quint64 m_from;
    int m_exceptions = std::uncaught_exceptions();
    QSet<qint64> m_posts;
    QSet<qint64> m_users;
};
} // namespace FeedList
