#include "FeedList.h"

#include "Database.h"
#include "FeedFragments.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {
// The posts and authors kept from the last reply made, and the changes written since, so that a
// reply after a write reads again only what the write touched. Kept pieces hold every commit up
// to the count they are labelled with; a reply starts from them when every commit between that
// count and its own is accounted for by a change, and reads everything otherwise. Writes note
// their changes in commit order, holding the database mutex.
class KeptPieces
{
public:
    void note(const ServiceContext &context, quint64 from, quint64 to, QSet<qint64> posts, QSet<qint64> users)
    {
        std::lock_guard lock(m_mutex);
        forgetOther(context);
        m_changes.push_back({from, to, std::move(posts), std::move(users)});
        // Past this many, reading everything again costs less than the list.
        if (m_changes.size() > 4096)
            m_changes.pop_front();
    }

    QByteArray reply(ServiceContext &context, qint64 now)
    {
        const ReadTransaction view(context.db);
        // Read before the view is taken: every commit it counts is in the view; the view may hold a
        // few more, whose changes are read again by the next reply.
        const quint64 generation = context.db.generation();
        // Takes the view now: SQLite takes it at the first read, not at BEGIN.
        Statement(context.db, "SELECT 1 FROM posts LIMIT 1").next();
        std::shared_ptr<const FeedFragments> base;
        QSet<qint64> posts;
        QSet<qint64> users;
        {
            std::lock_guard lock(m_mutex);
            forgetOther(context);
            quint64 covered = m_generation;
            bool gap = false;
            // Changes past `generation` are read too: those the view already holds then show.
            for (const Changed &change : m_changes) {
                if (change.to <= m_generation)
                    continue;
                gap = gap || (change.from > covered && covered < generation);
                covered = std::max(covered, change.to);
                posts.unite(change.posts);
                users.unite(change.users);
            }
            if (m_fragments && m_generation <= generation && covered >= generation && !gap)
                base = m_fragments;
        }
        std::shared_ptr<const FeedFragments> fragments = base;
        if (!base) {
            fragments = std::make_shared<const FeedFragments>(FeedFragments::read(context));
        } else if (!posts.isEmpty() || !users.isEmpty()) {
            auto updated = std::make_shared<FeedFragments>(*base);
            updated->update(context, posts, users);
            fragments = std::move(updated);
        }
        {
            std::lock_guard lock(m_mutex);
            if (m_database == context.db.serial() && m_site == context.siteUrl && generation > m_generation) {
                m_fragments = fragments;
                m_generation = generation;
                while (!m_changes.empty() && m_changes.front().to <= generation)
                    m_changes.pop_front();
            }
        }
        return fragments->reply(now);
    }

private:
    struct Changed
    {
        quint64 from;
        quint64 to;
        QSet<qint64> posts;
        QSet<qint64> users;
    };

    void forgetOther(const ServiceContext &context)
    {
        if (m_database == context.db.serial() && m_site == context.siteUrl)
            return;
        m_database = context.db.serial();
        m_site = context.siteUrl;
        m_fragments.reset();
        m_generation = 0;
        m_changes.clear();
    }

    std::mutex m_mutex;
    quint64 m_database = 0;
    QString m_site;
    std::shared_ptr<const FeedFragments> m_fragments;
    quint64 m_generation = 0;
    std::deque<Changed> m_changes;
};

KeptPieces &keptPieces()
{
    static KeptPieces pieces;
    return pieces;
}

QByteArray build(ServiceContext &context, qint64 now)
{
    if (!context.db.tracksChanges()) {
        const ReadTransaction view(context.db);
        return FeedFragments::read(context).reply(now);
    }
    return keptPieces().reply(context, now);
}

// The last reply made, and the ones being made. A reply depends only on the data and on the
// second it is made in (its times read "только что", "5 минут назад"), so within that second and
// until the next commit it is the same bytes: those are handed out again instead of being made
// anew for every reader. Replies are made side by side, a few at a time: a reader takes one made,
// or being made, from data no older than when it arrived; failing that it makes its own, or, when
// a few are being made already, waits for one to end and looks again. So while writes keep coming,
// each reply made serves every reader that arrived before it was begun.
class Replies
{
public:
    QByteArray get(ServiceContext &context)
    {
        // The count is read before the data are: a commit landing in between only makes the reply
        // look older than it is, so that it is made once more.
        const quint64 generation = context.db.generation();
        const qint64 second = TimeText::now();
        std::shared_future<QByteArray> pending;
        std::promise<QByteArray> mine;
        quint64 id = 0; // of the reply this reader makes, if it makes one
        qint64 at = 0;
        {
            std::unique_lock lock(m_mutex);
            if (m_database != context.db.serial() || m_site != context.siteUrl) {
                m_database = context.db.serial();
                m_site = context.siteUrl;
                m_kept = {};
            }
            for (;;) {
                if (m_kept.generation >= generation && m_kept.second >= second && !m_kept.body.isNull())
                    return m_kept.body;
                for (const Making &making : m_making) {
                    if (making.database == m_database && making.generation >= generation && making.second >= second)
                        pending = making.reply;
                }
                if (pending.valid() || m_making.size() < MostAtOnce)
                    break;
                m_ended.wait(lock);
            }
            if (!pending.valid()) {
                // Read again now: readers arriving until this reply takes its view may share it.
                id = ++m_lastId;
                at = TimeText::now();
                m_making.push_back({id, m_database, context.db.generation(), at, mine.get_future().share()});
            }
        }
        if (id == 0)
            return pending.get();
        try {
            QByteArray body = build(context, at);
            finish(id, &body);
            mine.set_value(body);
            return body;
        } catch (...) {
            finish(id, nullptr);
            mine.set_exception(std::current_exception());
            throw;
        }
    }

private:
    struct Making
    {
        quint64 id;
        quint64 database;
        quint64 generation;
        qint64 second;
        std::shared_future<QByteArray> reply;
    };
    struct Kept
    {
        quint64 generation = 0;
        qint64 second = 0;
        QByteArray body;
    };

    void finish(quint64 id, const QByteArray *body)
    {
        std::lock_guard lock(m_mutex);
        const auto made = std::find_if(m_making.begin(), m_making.end(), [id](const Making &m) { return m.id == id; });
        if (body && made->database == m_database &&
            (made->generation > m_kept.generation ||
             (made->generation == m_kept.generation && made->second >= m_kept.second)))
            m_kept = {made->generation, made->second, *body};
        m_making.erase(made);
        m_ended.notify_all();
    }

    // Enough to keep readers going on a loaded machine, few enough to leave it cores for the rest.
    const size_t MostAtOnce = std::max(2u, std::thread::hardware_concurrency() / 2);
    std::mutex m_mutex;
    std::condition_variable m_ended;
    quint64 m_database = 0;
    QString m_site;
    Kept m_kept;
    std::vector<Making> m_making;
    quint64 m_lastId = 0;
};
} // namespace

QByteArray FeedList::fresh(ServiceContext &context)
{
    const ReadTransaction view(context.db);
    return FeedFragments::read(context).reply(TimeText::now());
}

FeedList::Change::Change(ServiceContext &context) : m_context(context), m_from(context.db.generation()) {}

FeedList::Change::~Change()
{
    const quint64 to = m_context.db.generation();
    if (to == m_from || std::uncaught_exceptions() != m_exceptions)
        return;
    try {
        keptPieces().note(m_context, m_from, to, std::move(m_posts), std::move(m_users));
    } catch (...) {
        // Unnoted, the commits make the next reply read everything again.
    }
}

QByteArray FeedList::json(ServiceContext &context)
{
    if (!context.db.tracksChanges())
        return build(context, TimeText::now());
    static Replies replies;
    return replies.get(context);
}
