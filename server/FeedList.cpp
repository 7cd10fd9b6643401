#include "FeedList.h"

#include "Database.h"
#include "JsonWriter.h"
#include "ServiceContext.h"
#include "Statement.h"
#include "TimeText.h"
#include "UserStore.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <mutex>
#include <optional>

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
    void write(JsonWriter &json, QByteArrayView address)
    {
        if (!address.startsWith('/'))
            return json.string(address);
        m_buffer = m_site;
        m_buffer.append(address.data(), address.size());
        json.string(m_buffer);
    }

private:
    QByteArray m_site;
    QByteArray m_buffer;
};

// A NULL column is left out, as in the other replies.
bool present(const Statement &query, int column)
{
    return !query.isNull(column);
}

// Every post's attachments as JSON lists, by post, each in the order they were added.
QHash<qint64, QByteArray> attachments(ServiceContext &context, Addresses &addresses)
{
    Statement query(context.db, "SELECT post_id, id, kind, url, title, subtitle, thumbnail_url FROM post_attachments "
                                "ORDER BY post_id, id");
    QHash<qint64, QByteArray> lists;
    while (query.next()) {
        QByteArray &list = lists[query.integer(0)];
        list += list.isEmpty() ? '[' : ',';
        JsonWriter json(list);
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
    for (QByteArray &list : lists)
        list += ']';
    return lists;
}

// Every author of a post in the wire form of a user record, by id.
QHash<qint64, QByteArray> authors(ServiceContext &context, qint64 now)
{
    QHash<qint64, QByteArray> users;
    const QHash<qint64, QJsonObject> records = UserStore(context).postAuthors(now);
    for (auto it = records.cbegin(); it != records.cend(); ++it)
        users.insert(it.key(), QJsonDocument(it.value()).toJson(QJsonDocument::Compact));
    return users;
}
}

namespace {
QByteArray build(ServiceContext &context, qint64 now)
{
    const ReadTransaction view(context.db);
    Addresses addresses(context);
    const QHash<qint64, QByteArray> users = authors(context, now);
    const QHash<qint64, QByteArray> attached = attachments(context, addresses);
    Statement query(context.db, "SELECT p.id, p.author_id, p.text, "
                                "(SELECT COUNT(*) FROM post_likes WHERE post_id = p.id), "
                                "(SELECT COUNT(*) FROM reposts WHERE post_id = p.id), "
                                "(SELECT COUNT(*) FROM comments WHERE post_id = p.id), "
                                "p.views_count, p.created_at, c.name, c.avatar_url "
                                "FROM posts p LEFT JOIN channels c ON c.id = p.channel_id "
                                "ORDER BY p.created_at DESC, p.id DESC");
    // About as long as the last one: grown once, not doubled over and over.
    static std::atomic<qsizetype> lastSize = 0;
    QByteArray out;
    out.reserve(lastSize + lastSize / 8 + 1024);
    JsonWriter json(out);
    json.beginArray();
    while (query.next()) {
        const auto author = users.constFind(query.integer(1));
        if (author == users.cend())
            continue;
        const qint64 id = query.integer(0);
        json.beginObject();
        json.key("attachments");
        const auto list = attached.constFind(id);
        json.raw(list == attached.cend() ? QByteArrayView("[]") : QByteArrayView(*list));
        json.key("author");
        json.raw(*author);
        if (present(query, 9)) {
            json.key("channel_avatar_url");
            addresses.write(json, query.utf8(9));
        }
        if (present(query, 8)) {
            json.key("channel_name");
            json.string(query.utf8(8));
        }
        json.key("comments_count");
        json.integer(query.integer(5));
        json.key("created_at_formatted");
        json.string(TimeText::ago(query.integer(7), now).toUtf8());
        json.key("id");
        json.integer(id);
        json.key("is_liked");
        json.boolean(false);
        json.key("is_reposted");
        json.boolean(false);
        json.key("likes_count");
        json.integer(query.integer(3));
        json.key("reposts_count");
        json.integer(query.integer(4));
        json.key("text");
        json.string(query.utf8(2));
        json.key("views_count");
        json.integer(query.integer(6));
        json.endObject();
    }
    json.endArray();
    lastSize = out.size();
    return out;
}

// The last reply made. A reply depends only on the data and on the second it is made in (its
// times read "только что", "5 минут назад"), so within that second and until the next commit it
// is the same bytes: those are handed out again instead of being made anew for every reader.
// One reply is made at a time; readers arriving meanwhile take it when it is done.
class LastReply
{
public:
    std::optional<QByteArray> find(const ServiceContext &context, quint64 generation, qint64 second)
    {
        std::lock_guard lock(m_mutex);
        if (m_database == context.db.serial() && m_site == context.siteUrl && m_generation == generation
            && m_second == second)
            return m_body;
        return std::nullopt;
    }
    void keep(const ServiceContext &context, quint64 generation, qint64 second, const QByteArray &body)
    {
        std::lock_guard lock(m_mutex);
        m_database = context.db.serial();
        m_site = context.siteUrl;
        m_generation = generation;
        m_second = second;
        m_body = body;
    }
    std::mutex &making() { return m_making; }

private:
    std::mutex m_mutex;
    std::mutex m_making;
    quint64 m_database = 0;
    QString m_site;
    quint64 m_generation = 0;
    qint64 m_second = 0;
    QByteArray m_body;
};
}

QByteArray FeedList::json(ServiceContext &context)
{
    if (!context.db.tracksChanges())
        return build(context, TimeText::now());
    static LastReply last;
    // The count is read before the data are: a commit landing in between only makes the reply
    // look older than it is, so it is made once more.
    if (std::optional<QByteArray> kept = last.find(context, context.db.generation(), TimeText::now()))
        return *kept;
    std::lock_guard making(last.making());
    const quint64 generation = context.db.generation();
    const qint64 now = TimeText::now();
    if (std::optional<QByteArray> kept = last.find(context, generation, now))
        return *kept; // made while this reader waited
    QByteArray body = build(context, now);
    last.keep(context, generation, now, body);
    return body;
}
