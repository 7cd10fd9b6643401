#include "FeedList.h"

#include "Database.h"
#include "ReplyWriter.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserStore.h"

#include <QDateTime>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {
// Each object's keys are written in the sorted order the other replies (QJsonObject) have.

// Site-relative addresses made absolute, as ServiceContext::absolute does.
class Addresses
{
public:
    explicit Addresses(const ServiceContext &context)
        : m_site(context.siteUrl.toUtf8())
    {
    }
    void write(ReplyWriter &json, QByteArrayView address)
    {
        json.string(address, address.startsWith('/') ? QByteArrayView(m_site) : QByteArrayView());
    }

private:
    QByteArray m_site;
};

// Something per post, by post id: in a plain array for ids up to the largest post id (ids are
// handed out in turn, so that is about one slot a post), in a hash past it.
template <class T> class ByPost
{
public:
    explicit ByPost(qint64 largestId) : m_dense(size_t(std::clamp<qint64>(largestId + 1, 0, 1 << 22))) {}
    T &operator[](qint64 id) { return id >= 0 && id < qint64(m_dense.size()) ? m_dense[size_t(id)] : m_sparse[id]; }
    const T *find(qint64 id) const
    {
        if (id >= 0 && id < qint64(m_dense.size()))
            return &m_dense[size_t(id)];
        const auto found = m_sparse.constFind(id);
        return found == m_sparse.cend() ? nullptr : &*found;
    }

private:
    std::vector<T> m_dense;
    QHash<qint64, T> m_sparse;
};

qint64 count(const ByPost<qint64> &counts, qint64 id)
{
    const qint64 *found = counts.find(id);
    return found ? *found : 0;
}

qint64 largestPostId(ServiceContext &context)
{
    Statement query(context.db, "SELECT COALESCE(MAX(id), 0) FROM posts");
    return query.next() ? query.integer(0) : 0;
}

// How many rows of `table` name each post, by post, in one pass over the table: cheaper than a
// count per post, which looks each one up anew.
ByPost<qint64> countsByPost(ServiceContext &context, qint64 largestId, const char *sql)
{
    Statement query(context.db, sql);
    ByPost<qint64> counts(largestId);
    while (query.next())
        counts[query.integer(0)] = query.integer(1);
    return counts;
}

// A NULL column is left out, as in the other replies.
bool present(const Statement &query, int column)
{
    return !query.isNull(column);
}

// Every post's attachments, by post, each in the order they were added: the items of a JSON list
// without its brackets.
ByPost<QByteArray> attachments(ServiceContext &context, qint64 largestId, Addresses &addresses)
{
    Statement query(context.db, "SELECT post_id, id, kind, url, title, subtitle, thumbnail_url FROM post_attachments "
                                "ORDER BY post_id, id");
    ByPost<QByteArray> lists(largestId);
    while (query.next()) {
        QByteArray &list = lists[query.integer(0)];
        if (!list.isEmpty())
            list += ',';
        ReplyWriter json(list);
        json.beginObject();
        json.key("id");
        json.string(QByteArrayLiteral("att_") + QByteArray::number(query.integer(1)));
        if (present(query, 5)) {
            json.key("subtitle");
            json.string(query.utf8(5));
        }
        if (present(query, 6)) {
            json.key("thumbnail_url");
            addresses.write(json, query.utf8(6));
        }
        if (present(query, 4)) {
            json.key("title");
            json.string(query.utf8(4));
        }
        json.key("type");
        json.string(query.utf8(2));
        json.key("url");
        addresses.write(json, query.utf8(3));
        json.endObject();
    }
    return lists;
}

// The display times of one reply. Posts of the same minute, hour or day mostly read the same,
// and making the text (a local date, a clock) costs more than writing a post: each is made once.
class AgoTexts
{
public:
    explicit AgoTexts(qint64 now) : m_now(now) {}
    QByteArrayView operator()(qint64 then)
    {
        const qint64 elapsed = m_now - then;
        if (elapsed < 6 * 3600) {
            // What the text depends on: the minutes or hours elapsed.
            const qint64 key = elapsed < 60 ? -1 : elapsed < 3600 ? elapsed / 60 : 100 + elapsed / 3600;
            auto found = m_recent.find(key);
            if (found == m_recent.end())
                found = m_recent.insert(key, TimeText::ago(then, m_now).toUtf8());
            return *found;
        }
        // Older ones read "<day> в HH:mm" in local time: the day's words are made once a day, the
        // clock from the local time, whose offset from UTC changes only at a quarter of an hour
        // (every time zone's offset is a whole number of quarter hours).
        const qint64 quarter = then >= 0 ? then / 900 : (then - 899) / 900;
        auto offset = m_offsets.find(quarter);
        if (offset == m_offsets.end())
            offset = m_offsets.insert(quarter, QDateTime::fromSecsSinceEpoch(then).offsetFromUtc());
        const qint64 local = then + *offset;
        const qint64 day = local >= 0 ? local / 86400 : (local - 86399) / 86400;
        auto words = m_days.find(day);
        if (words == m_days.end())
            words = m_days.insert(day, TimeText::ago(then, m_now).toUtf8().chopped(5)); // up to "HH:mm"
        const qint64 minuteOfDay = (local - day * 86400) / 60;
        const char clock[] = {char('0' + minuteOfDay / 600), char('0' + minuteOfDay / 60 % 10), ':',
                              char('0' + minuteOfDay % 60 / 10), char('0' + minuteOfDay % 10)};
        m_text = *words;
        m_text.append(clock, sizeof(clock));
        return m_text;
    }

private:
    qint64 m_now;
    QHash<qint64, QByteArray> m_recent;
    QHash<qint64, int> m_offsets;
    QHash<qint64, QByteArray> m_days;
    QByteArray m_text;
};

// Every author of a post in the wire form of a user record (UserStore's), by id.
QHash<qint64, QByteArray> authors(ServiceContext &context, Addresses &addresses, AgoTexts &ago)
{
    static const std::string sql =
        std::string("SELECT ") + UserStore::Columns + " FROM users WHERE id IN (SELECT author_id FROM posts)";
    Statement query(context.db, sql.c_str());
    QHash<qint64, QByteArray> users;
    while (query.next()) {
        QByteArray &user = users[query.integer(0)];
        ReplyWriter json(user);
        json.beginObject();
        if (present(query, 4)) {
            json.key("avatar_url");
            addresses.write(json, query.utf8(4));
        }
        if (present(query, 10))
            json.member("bio", query.utf8(10));
        if (present(query, 5)) {
            json.key("cover_url");
            addresses.write(json, query.utf8(5));
        }
        json.member("first_name", query.utf8(2));
        json.member("followers_count", query.integer(8));
        json.member("following_count", query.integer(9));
        json.member("id", query.integer(0));
        json.flag("is_online", query.integer(11) != 0);
        json.flag("is_verified", query.integer(7) != 0);
        json.member("last_name", query.utf8(3));
        if (query.integer(11) == 0 && present(query, 12)) {
            json.key("last_seen_text");
            json.string(QByteArrayLiteral("был(а) в сети ").append(ago(query.integer(12))));
        }
        if (present(query, 6))
            json.member("status_text", query.utf8(6));
        json.member("username", query.utf8(1));
        json.endObject();
    }
    return users;
}
}

namespace {
QByteArray build(ServiceContext &context, qint64 now)
{
    const ReadTransaction view(context.db);
    Addresses addresses(context);
    AgoTexts ago(now);
    const QHash<qint64, QByteArray> users = authors(context, addresses, ago);
    const qint64 largestId = largestPostId(context);
    const ByPost<QByteArray> attached = attachments(context, largestId, addresses);
    const ByPost<qint64> likes =
        countsByPost(context, largestId, "SELECT post_id, COUNT(*) FROM post_likes GROUP BY post_id");
    const ByPost<qint64> reposts =
        countsByPost(context, largestId, "SELECT post_id, COUNT(*) FROM reposts GROUP BY post_id");
    const ByPost<qint64> comments =
        countsByPost(context, largestId, "SELECT post_id, COUNT(*) FROM comments GROUP BY post_id");
    Statement query(context.db, "SELECT p.id, p.author_id, p.text, p.views_count, p.created_at, c.name, c.avatar_url "
                                "FROM posts p LEFT JOIN channels c ON c.id = p.channel_id "
                                "ORDER BY p.created_at DESC, p.id DESC");
    // About as long as the last one: grown once, not doubled over and over.
    static std::atomic<qsizetype> lastSize = 0;
    QByteArray out;
    out.reserve(lastSize + lastSize / 8 + 1024);
    ReplyWriter json(out);
    json.beginArray();
    while (query.next()) {
        const auto author = users.constFind(query.integer(1));
        if (author == users.cend())
            continue;
        const qint64 id = query.integer(0);
        json.beginObject();
        json.key("attachments");
        const QByteArray *list = attached.find(id);
        json.list(list ? QByteArrayView(*list) : QByteArrayView());
        json.key("author");
        json.raw(*author);
        if (present(query, 6)) {
            json.key("channel_avatar_url");
            addresses.write(json, query.utf8(6));
        }
        if (present(query, 5))
            json.member("channel_name", query.utf8(5));
        json.member("comments_count", count(comments, id));
        json.member("created_at_formatted", ago(query.integer(4)));
        json.member("id", id);
        json.flag("is_liked", false);
        json.flag("is_reposted", false);
        json.member("likes_count", count(likes, id));
        json.member("reposts_count", count(reposts, id));
        json.member("text", query.utf8(2));
        json.member("views_count", query.integer(3));
        json.endObject();
    }
    json.endArray();
    json.finish();
    lastSize = out.size();
    return out;
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
}

QByteArray FeedList::json(ServiceContext &context)
{
    if (!context.db.tracksChanges())
        return build(context, TimeText::now());
    static Replies replies;
    return replies.get(context);
}
