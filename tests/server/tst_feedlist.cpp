// The data layer under feed.php, on a real database file: the reply in Qt's JSON form whatever the
// stored text holds, the same few statements for any length of feed, commits seen by the next
// read, and reads that neither wait for nor see a write in progress.
#include "Database.h"
#include "FeedList.h"
#include "MediaStore.h"
#include "Schema.h"
#include "ServiceContext.h"
#include "Statement.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <future>
#include <sqlite3.h>
#include <thread>

namespace {
int countStatements(unsigned, void *count, void *, void *)
{
    ++*static_cast<int *>(count);
    return 0;
}
}

class tst_FeedList : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<MediaStore> m_media;
    std::unique_ptr<ServiceContext> m_context;

    void addUser(qint64 id)
    {
        Statement insert(*m_db, "INSERT INTO users (id, username, email, password_salt, password_hash, "
                                "password_iterations, first_name, avatar_url, created_at) "
                                "VALUES (?1, 'u' || ?1, 'u' || ?1 || '@x', x'00', x'00', 1, 'Имя', '/media/demo/a.png', 1)");
        insert.bind(1, id).run();
    }
    qint64 addPost(const QByteArray &text, std::optional<qint64> channel = {}, qint64 author = 1)
    {
        Statement insert(*m_db, "INSERT INTO posts (author_id, channel_id, text, created_at) VALUES (?1, ?2, ?3, ?4)");
        insert.bind(1, author).bindBlob(3, text).bind(4, qint64(1700000000));
        if (channel)
            insert.bind(2, *channel);
        insert.run();
        // Stored as text, as the service stores it, whatever the bytes.
        Statement cast(*m_db, "UPDATE posts SET text = CAST(text AS TEXT) WHERE id = ?1");
        cast.bind(1, m_db->lastInsertId()).run();
        return m_db->lastInsertId();
    }
    QJsonArray feed()
    {
        const QByteArray body = FeedList::json(*m_context);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(body, &error);
        if (error.error != QJsonParseError::NoError || !document.isArray())
            qWarning() << "not a JSON list:" << body.left(200);
        return document.array();
    }
    int postCount() { return int(feed().size()); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        static int databases = 0;
        m_db = std::make_unique<Database>(m_dir.filePath(QStringLiteral("feed-%1.db").arg(++databases)));
        Schema::create(*m_db);
        m_media = std::make_unique<MediaStore>(m_dir.filePath("media"));
        m_context.reset(new ServiceContext{*m_db, *m_media, QStringLiteral("http://127.0.0.1:9")});
        addUser(1);
        addUser(2);
    }
    void cleanup()
    {
        m_context.reset();
        m_db.reset();
    }

    void writesTextAsQtWould_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("plain ASCII") << QByteArray("hello");
        QTest::newRow("Cyrillic and emoji") << QByteArray("Привет 🚀");
        QTest::newRow("quotes and backslashes") << QByteArray("say \"hi\" \\o/");
        QTest::newRow("control characters") << QByteArray("a\b\f\n\r\t\x01\x1f\x7fz");
        QTest::newRow("NUL inside") << QByteArray("a\0b", 3);
        QTest::newRow("invalid bytes") << QByteArray("A\xff" "B\xc0\xaf");
        QTest::newRow("surrogate encoded") << QByteArray("\xed\xa0\x80");
        QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80");
        QTest::newRow("cut short") << QByteArray("x\xe2\x82");
        QTest::newRow("leading byte-order mark") << QByteArray("\xef\xbb\xbf" "A");
        QTest::newRow("HTML") << QByteArray("</script><b>&amp;</b>");
        QTest::newRow("empty") << QByteArray("");
    }
    void writesTextAsQtWould()
    {
        QFETCH(QByteArray, stored);
        Statement(*m_db, "INSERT INTO channels (id, name, avatar_url, category, created_at) "
                         "VALUES (1, ?1, 'https://cdn.example/c.png', 'c', 1)")
            .bindBlob(1, stored)
            .run();
        addPost(stored, 1);
        const QByteArray body = FeedList::json(*m_context);
        const QJsonArray posts = QJsonDocument::fromJson(body).array();
        QCOMPARE(posts.size(), 1);
        // What Qt would write for the same values, byte for byte.
        QCOMPARE(QJsonDocument(posts).toJson(QJsonDocument::Compact), body);
        QCOMPARE(posts[0]["text"].toString(), QString::fromUtf8(stored));
        QCOMPARE(posts[0]["channel_avatar_url"].toString(), QString("https://cdn.example/c.png"));
        QCOMPARE(posts[0]["author"]["avatar_url"].toString(), QString("http://127.0.0.1:9/media/demo/a.png"));
    }

    void fillsEveryPostFromItsOwnRows()
    {
        const qint64 first = addPost("first");
        const qint64 second = addPost("second", {}, 2);
        m_db->exec("PRAGMA foreign_keys = OFF");
        addPost("by nobody", {}, 99); // its author is gone: left out
        m_db->exec("PRAGMA foreign_keys = ON");
        Statement(*m_db, "INSERT INTO post_attachments (post_id, kind, url, title) VALUES (?1, 'audio', ?2, 'Tune')")
            .bind(1, second).bind(2, "/media/demo/t.wav").run();
        Statement(*m_db, "INSERT INTO post_attachments (post_id, kind, url) VALUES (?1, 'image', 'https://x/p.png')")
            .bind(1, second).run();
        for (const auto &[post, user] : {std::pair{first, 1}, {first, 2}, {second, 2}})
            Statement(*m_db, "INSERT INTO post_likes (post_id, user_id) VALUES (?1, ?2)").bind(1, post).bind(2, user).run();
        Statement(*m_db, "INSERT INTO comments (post_id, author_id, text, created_at) VALUES (?1, 1, 'c', 1)")
            .bind(1, second).run();
        m_db->exec("INSERT INTO follows (follower_id, followee_id) VALUES (1, 2)");

        const QJsonArray posts = feed();
        QCOMPARE(posts.size(), 2);
        const QJsonObject newest = posts[0].toObject();
        QCOMPARE(newest["id"].toInteger(), second); // same time: the later id first
        QCOMPARE(newest["likes_count"].toInt(), 1);
        QCOMPARE(newest["comments_count"].toInt(), 1);
        QCOMPARE(newest["author"]["followers_count"].toInt(), 1);
        const QJsonArray attachments = newest["attachments"].toArray();
        QCOMPARE(attachments.size(), 2);
        QCOMPARE(attachments[0]["url"].toString(), QString("http://127.0.0.1:9/media/demo/t.wav"));
        QCOMPARE(attachments[0]["title"].toString(), QString("Tune"));
        QCOMPARE(attachments[1]["url"].toString(), QString("https://x/p.png"));
        QVERIFY(!attachments[1].toObject().contains("title"));
        QCOMPARE(posts[1]["likes_count"].toInt(), 2);
        QCOMPARE(posts[1]["attachments"].toArray().size(), 0);
        QCOMPARE(posts[1]["author"]["following_count"].toInt(), 1);
    }

    void readsAnyFeedInTheSameStatements()
    {
        int statements = 0;
        sqlite3_trace_v2(m_db->handle(), SQLITE_TRACE_STMT, countStatements, &statements);
        QList<int> counts;
        for (int posts : {1, 10, 200}) {
            while (postCount() < posts)
                addPost("more");
            statements = 0;
            addPost("one more"); // a commit: the next read is made anew
            QCOMPARE(postCount(), posts + 1);
            counts.append(statements - 2); // less the insert and its update
        }
        sqlite3_trace_v2(m_db->handle(), 0, nullptr, nullptr);
        QCOMPARE(counts[1], counts[0]);
        QCOMPARE(counts[2], counts[0]);
    }

    // After each kind of write the reply made from the kept pieces is the one made from scratch,
    // and, when the write names what it changed, made in fewer statements.
    void keptRepliesEqualFreshOnes_data()
    {
        QTest::addColumn<QByteArrayList>("writes");
        QTest::addColumn<QList<qint64>>("posts");
        QTest::addColumn<QList<qint64>>("users");
        QTest::addColumn<bool>("noted");
        QTest::newRow("post with a picture")
            << QByteArrayList{"INSERT INTO posts (id, author_id, text, created_at) VALUES (9, 2, 'new', 1700000001)",
                              "INSERT INTO post_attachments (post_id, kind, url) VALUES (9, 'image', '/media/p.png')"}
            << QList<qint64>{9} << QList<qint64>{} << true;
        QTest::newRow("comment") << QByteArrayList{"INSERT INTO comments (post_id, author_id, text, created_at) "
                                                   "VALUES (1, 2, 'c', 1)"}
                                 << QList<qint64>{1} << QList<qint64>{} << true;
        QTest::newRow("repost") << QByteArrayList{"INSERT INTO reposts (post_id, user_id) VALUES (2, 1)"}
                                << QList<qint64>{2} << QList<qint64>{} << true;
        QTest::newRow("repost withdrawn") << QByteArrayList{"DELETE FROM reposts WHERE post_id = 1"}
                                          << QList<qint64>{1} << QList<qint64>{} << true;
        QTest::newRow("profile") << QByteArrayList{"UPDATE users SET status_text = 'x\"y', bio = 'b', is_online = 0, "
                                                   "last_seen_at = 1700000000 WHERE id = 2"}
                                 << QList<qint64>{} << QList<qint64>{2} << true;
        QTest::newRow("sign-up") << QByteArrayList{"INSERT INTO users (id, username, email, password_salt, password_hash, "
                                                   "password_iterations, first_name, created_at) "
                                                   "VALUES (3, 'u3', 'u3@x', x'00', x'00', 1, 'Три', 1)"}
                                 << QList<qint64>{} << QList<qint64>{3} << true;
        QTest::newRow("channel renamed, not named")
            << QByteArrayList{"UPDATE channels SET name = 'renamed'"} << QList<qint64>{} << QList<qint64>{} << false;
    }
    void keptRepliesEqualFreshOnes()
    {
        QFETCH(QByteArrayList, writes);
        QFETCH(QList<qint64>, posts);
        QFETCH(QList<qint64>, users);
        QFETCH(bool, noted);
        m_db->exec("INSERT INTO channels (id, name, avatar_url, category, created_at) VALUES (1, 'c', '/c.png', 'c', 1)");
        const qint64 withChannel = addPost("in a channel", 1);
        Statement(*m_db, "INSERT INTO post_attachments (post_id, kind, url, title) VALUES (?1, 'audio', '/t.wav', 'T')")
            .bind(1, withChannel).run();
        addPost("by two", {}, 2);
        m_db->exec("INSERT INTO reposts (post_id, user_id) VALUES (1, 2)");
        FeedList::json(*m_context); // kept from here on

        int statements = 0;
        sqlite3_trace_v2(m_db->handle(), SQLITE_TRACE_STMT, countStatements, &statements);
        FeedList::fresh(*m_context);
        const int fromScratch = statements;
        std::unique_ptr<FeedList::Change> change;
        if (noted)
            change = std::make_unique<FeedList::Change>(*m_context);
        for (const QByteArray &write : writes)
            m_db->exec(write.constData());
        for (const qint64 id : posts)
            change->post(id);
        for (const qint64 id : users)
            change->user(id);
        change.reset();
        statements = 0;
        const QByteArray kept = FeedList::json(*m_context);
        sqlite3_trace_v2(m_db->handle(), 0, nullptr, nullptr);
        QCOMPARE(kept, FeedList::fresh(*m_context));
        QCOMPARE(statements < fromScratch, noted);
    }

    void readsBesideAWriteInProgress()
    {
        addPost("committed");
        std::promise<void> written;
        std::promise<void> mayCommit;
        std::thread writer([&] {
            std::lock_guard lock(m_db->mutex());
            Transaction transaction(*m_db);
            addPost("not yet committed");
            written.set_value();
            mayCommit.get_future().wait();
            transaction.commit();
        });
        written.get_future().wait();
        const int duringTheWrite = postCount(); // neither waits for the writer nor sees its post
        mayCommit.set_value();
        writer.join();
        QCOMPARE(duringTheWrite, 1);
        QCOMPARE(postCount(), 2); // the other thread's commit is seen at once
    }

    // A reply being made holds up no other: with one stalled in the middle, a reader that must see a
    // later commit makes its own; the stalled one, done last, does not displace it.
    void makesRepliesSideBySide()
    {
        for (int i = 0; i < 20; ++i)
            addPost("earlier");
        std::promise<void> stalled;
        std::promise<void> mayGoOn;
        // Called every 50 steps of this thread's statements: well inside the reply's first query,
        // once its view of the data is taken.
        struct Gate
        {
            std::promise<void> &stalled;
            std::future<void> goOn;
            bool once = true;
        } gate{stalled, mayGoOn.get_future()};
        std::future<int> slow = std::async(std::launch::async, [&] {
            sqlite3_progress_handler(
                m_db->handle(), 50,
                [](void *data) {
                    if (auto *gate = static_cast<Gate *>(data); std::exchange(gate->once, false)) {
                        gate->stalled.set_value();
                        gate->goOn.wait();
                    }
                    return 0;
                },
                &gate);
            return postCount();
        });
        stalled.get_future().wait();
        addPost("later");
        const int meanwhile = postCount(); // waits for nothing: the stalled reply cannot hold it
        mayGoOn.set_value();
        QCOMPARE(slow.get(), 20);
        QCOMPARE(meanwhile, 21);
        QCOMPARE(postCount(), 21);
    }

    // A kept statement is reset when put back: it holds no old view of the data.
    void keptStatementsSeeLaterCommits()
    {
        auto count = [this] {
            Statement query(*m_db, "SELECT COUNT(*) FROM posts");
            return query.next() ? query.integer(0) : -1;
        };
        QCOMPARE(count(), 0);
        std::thread([this] { addPost("elsewhere"); }).join();
        QCOMPARE(count(), 1);

        // The same text twice at once: two statements.
        Statement outer(*m_db, "SELECT id FROM users ORDER BY id");
        QVERIFY(outer.next());
        QCOMPARE(count(), 1);
        {
            Statement inner(*m_db, "SELECT id FROM users ORDER BY id");
            QVERIFY(inner.next() && inner.next());
            QCOMPARE(inner.integer(0), 2);
        }
        QVERIFY(outer.next());
        QCOMPARE(outer.integer(0), 2);
    }

    void keepsAnInMemoryDatabaseForAllThreads()
    {
        Database first(":memory:");
        Database second(":memory:");
        Schema::create(first);
        Schema::create(second);
        std::thread([&first] { first.exec("INSERT INTO tracks (title, artist, duration_seconds, audio_url, created_at) "
                                          "VALUES ('t', 'a', 1, 'u', 1)"); })
            .join();
        Statement inFirst(first, "SELECT COUNT(*) FROM tracks");
        Statement inSecond(second, "SELECT COUNT(*) FROM tracks");
        QVERIFY(inFirst.next() && inSecond.next());
        QCOMPARE(inFirst.integer(0), 1);
        QCOMPARE(inSecond.integer(0), 0);
    }
};

QTEST_GUILESS_MAIN(tst_FeedList)
#include "tst_feedlist.moc"
