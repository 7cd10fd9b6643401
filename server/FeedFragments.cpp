#include "FeedFragments.h"

#include "ReplyWriter.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserStore.h"

#include <QDateTime>
#include <algorithm>
#include <atomic>
#include <string>

namespace {
// Each object's keys are written in the sorted order the other replies (QJsonObject) have.

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

// A NULL column is left out, as in the other replies.
bool present(const Statement &query, int column)
{
    return !query.isNull(column);
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

// What a post's row holds, in this order.
const char *const PostColumns = "SELECT p.id, p.author_id, p.text, p.views_count, p.created_at, c.name, c.avatar_url";
const char *const AttachmentColumns =
    "SELECT post_id, id, kind, url, title, subtitle, thumbnail_url FROM post_attachments ";

std::string userQuery(const char *where)
{
    return std::string("SELECT ") + UserStore::Columns + " FROM users " + where;
}
} // namespace

// Reads rows and writes them as kept pieces, with the same code for every post and author
// whether all are read or a few.
class FeedFragments::Reader
{
public:
    explicit Reader(const ServiceContext &context) : m_site(context.siteUrl.toUtf8()) {}

    // Site-relative addresses made absolute, as ServiceContext::absolute does.
    void address(ReplyWriter &json, QByteArrayView address) const
    {
        json.string(address, address.startsWith('/') ? QByteArrayView(m_site) : QByteArrayView());
    }

    // The attachment of the row (AttachmentColumns) added to a post's list, items without brackets.
    void attachment(const Statement &query, QByteArray &list) const
    {
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
            address(json, query.utf8(6));
        }
        if (present(query, 4)) {
            json.key("title");
            json.string(query.utf8(4));
        }
        json.key("type");
        json.string(query.utf8(2));
        json.key("url");
        address(json, query.utf8(3));
        json.endObject();
    }

    // The user of the row (UserStore::Columns) in the wire form of a user record.
    std::shared_ptr<const Author> author(const Statement &query) const
    {
        auto author = std::make_shared<Author>();
        ReplyWriter json(author->bytes);
        json.beginObject();
        if (present(query, 4)) {
            json.key("avatar_url");
            address(json, query.utf8(4));
        }
        if (present(query, 10))
            json.member("bio", query.utf8(10));
        if (present(query, 5)) {
            json.key("cover_url");
            address(json, query.utf8(5));
        }
        json.member("first_name", query.utf8(2));
        json.member("followers_count", query.integer(8));
        json.member("following_count", query.integer(9));
        json.member("id", query.integer(0));
        json.flag("is_online", query.integer(11) != 0);
        json.flag("is_verified", query.integer(7) != 0);
        json.member("last_name", query.utf8(3));
        json.finish();
        author->seenAt = author->bytes.size();
        if (query.integer(11) == 0 && present(query, 12))
            author->lastSeen = query.integer(12);
        if (present(query, 6))
            json.member("status_text", query.utf8(6));
        json.member("username", query.utf8(1));
        json.endObject();
        json.finish();
        return author;
    }

    // The post of the row (PostColumns) with its counts and attachments.
    std::shared_ptr<const Post> post(const Statement &query, QByteArrayView attachments, qint64 likes, qint64 reposts,
                                     qint64 comments) const
    {
        auto post = std::make_shared<Post>();
        post->id = query.integer(0);
        post->authorId = query.integer(1);
        post->createdAt = query.integer(4);
        ReplyWriter json(post->bytes);
        json.beginObject();
        json.key("attachments");
        json.list(attachments);
        json.key("author");
        json.finish();
        post->authorAt = post->bytes.size();
        json.raw({});
        if (present(query, 6)) {
            json.key("channel_avatar_url");
            address(json, query.utf8(6));
        }
        if (present(query, 5))
            json.member("channel_name", query.utf8(5));
        json.member("comments_count", comments);
        json.key("created_at_formatted");
        json.finish();
        post->timeAt = post->bytes.size();
        json.raw({});
        json.member("id", post->id);
        json.flag("is_liked", false);
        json.flag("is_reposted", false);
        json.member("likes_count", likes);
        json.member("reposts_count", reposts);
        json.member("text", query.utf8(2));
        json.member("views_count", query.integer(3));
        json.endObject();
        json.finish();
        return post;
    }

private:
    QByteArray m_site;
};

namespace {
// How many rows of a table name each post, by post, in one pass over the table: cheaper than a
// count per post, which looks each one up anew.
ByPost<qint64> countsByPost(ServiceContext &context, qint64 largestId, const char *sql)
{
    Statement query(context.db, sql);
    ByPost<qint64> counts(largestId);
    while (query.next())
        counts[query.integer(0)] = query.integer(1);
    return counts;
}
} // namespace

FeedFragments FeedFragments::read(ServiceContext &context)
{
    const Reader reader(context);
    FeedFragments feed;
    static const std::string authors = userQuery("WHERE id IN (SELECT author_id FROM posts)");
    for (Statement query(context.db, authors.c_str()); query.next();)
        feed.m_authors.insert(query.integer(0), reader.author(query));

    Statement largest(context.db, "SELECT COALESCE(MAX(id), 0) FROM posts");
    const qint64 largestId = largest.next() ? largest.integer(0) : 0;
    ByPost<QByteArray> attached(largestId);
    for (Statement query(context.db, (std::string(AttachmentColumns) + "ORDER BY post_id, id").c_str()); query.next();)
        reader.attachment(query, attached[query.integer(0)]);
    const ByPost<qint64> likes =
        countsByPost(context, largestId, "SELECT post_id, COUNT(*) FROM post_likes GROUP BY post_id");
    const ByPost<qint64> reposts =
        countsByPost(context, largestId, "SELECT post_id, COUNT(*) FROM reposts GROUP BY post_id");
    const ByPost<qint64> comments =
        countsByPost(context, largestId, "SELECT post_id, COUNT(*) FROM comments GROUP BY post_id");
    static const std::string posts = std::string(PostColumns) +
                                     " FROM posts p LEFT JOIN channels c ON c.id = p.channel_id "
                                     "ORDER BY p.created_at DESC, p.id DESC";
    for (Statement query(context.db, posts.c_str()); query.next();) {
        const qint64 id = query.integer(0);
        const QByteArray *list = attached.find(id);
        feed.m_posts.push_back(reader.post(query, list ? QByteArrayView(*list) : QByteArrayView(), count(likes, id),
                                           count(reposts, id), count(comments, id)));
    }
    return feed;
}

void FeedFragments::update(ServiceContext &context, const QSet<qint64> &posts, const QSet<qint64> &users)
{
    const Reader reader(context);
    static const std::string userSql = userQuery("WHERE id = ?1");
    QSet<qint64> authors = users;
    if (!posts.isEmpty()) {
        std::erase_if(m_posts, [&posts](const std::shared_ptr<const Post> &post) { return posts.contains(post->id); });
        static const std::string postSql = std::string(PostColumns) +
                                           ", (SELECT COUNT(*) FROM post_likes WHERE post_id = p.id), "
                                           "(SELECT COUNT(*) FROM reposts WHERE post_id = p.id), "
                                           "(SELECT COUNT(*) FROM comments WHERE post_id = p.id) "
                                           "FROM posts p LEFT JOIN channels c ON c.id = p.channel_id WHERE p.id = ?1";
        static const std::string attachmentSql = std::string(AttachmentColumns) + "WHERE post_id = ?1 ORDER BY id";
        for (const qint64 id : posts) {
            Statement query(context.db, postSql.c_str());
            if (!query.bind(1, id).next())
                continue;
            QByteArray list;
            Statement attachments(context.db, attachmentSql.c_str());
            for (attachments.bind(1, id); attachments.next();)
                reader.attachment(attachments, list);
            std::shared_ptr<const Post> post =
                reader.post(query, list, query.integer(7), query.integer(8), query.integer(9));
            if (!m_authors.contains(post->authorId))
                authors.insert(post->authorId);
            // Newest first: after every post made later, or at the same second with a larger id.
            const auto at =
                std::lower_bound(m_posts.begin(), m_posts.end(), post,
                                 [](const std::shared_ptr<const Post> &a, const std::shared_ptr<const Post> &b) {
                                     return a->createdAt != b->createdAt ? a->createdAt > b->createdAt : a->id > b->id;
                                 });
            m_posts.insert(at, std::move(post));
        }
    }
    for (const qint64 id : std::as_const(authors)) {
        Statement query(context.db, userSql.c_str());
        if (query.bind(1, id).next())
            m_authors.insert(id, reader.author(query));
        else
            m_authors.remove(id);
    }
}

QByteArray FeedFragments::reply(qint64 now) const
{
    AgoTexts ago(now);
    static constexpr QByteArrayView SeenKey = ",\"last_seen_text\":\"был(а) в сети ";
    // Authors with a last visit, written out once for this reply.
    QHash<qint64, QByteArray> seen;
    // About as long as the last one: grown once, not doubled over and over.
    static std::atomic<qsizetype> lastSize = 0;
    QByteArray out;
    out.reserve(lastSize + lastSize / 8 + 1024);
    out += '[';
    for (const std::shared_ptr<const Post> &post : m_posts) {
        const auto found = m_authors.constFind(post->authorId);
        if (found == m_authors.cend())
            continue;
        const Author &author = **found;
        QByteArrayView authorBytes = author.bytes;
        if (author.lastSeen >= 0) {
            auto written = seen.find(post->authorId);
            if (written == seen.end()) {
                QByteArray bytes = author.bytes.left(author.seenAt);
                bytes.append(SeenKey);
                bytes.append(ago(author.lastSeen));
                bytes += '"';
                bytes.append(QByteArrayView(author.bytes).sliced(author.seenAt));
                written = seen.insert(post->authorId, bytes);
            }
            authorBytes = *written;
        }
        if (out.size() > 1)
            out += ',';
        const QByteArrayView bytes = post->bytes;
        out.append(bytes.first(post->authorAt));
        out.append(authorBytes);
        out.append(bytes.sliced(post->authorAt, post->timeAt - post->authorAt));
        out += '"';
        out.append(ago(post->createdAt));
        out += '"';
        out.append(bytes.sliced(post->timeAt));
    }
    out += ']';
    lastSize = out.size();
    return out;
}
