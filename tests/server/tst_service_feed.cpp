// "feed.php" writes and comments: what the service stores and answers, and what it refuses.
#include "ServiceTest.h"

#include <APIResponse.h>
#include <Comment.h>
#include <Post.h>

#include <QJsonArray>
#include <QTest>

class tst_ServiceFeed : public ServiceTest
{
    Q_OBJECT

    QList<Post> feed() { return decodeJson<QList<Post>>(m_http->get(QStringLiteral("/api/feed.php")).body); }

    Post postWithId(qint64 id)
    {
        for (const Post &post : feed()) {
            if (post.id == id)
                return post;
        }
        return {};
    }

    QList<Comment> comments(qint64 postId)
    {
        return decodeJson<QList<Comment>>(
            m_http->get(QStringLiteral("/api/feed.php?action=comments&post_id=%1").arg(postId)).body);
    }

private Q_SLOTS:
    // A write refused changes neither the feed nor the comments; a read refused is an envelope too.
    void refusals_data()
    {
        QTest::addColumn<QString>("query"); // a read when not empty
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const QString malformed = "Некорректный запрос";
        const QString noPost = "Запись не найдена";
        const QString noUser = "Пользователь не найден";
        const QString unknown = "Неизвестное действие";
        const auto write = [](const char *name, const char *body) -> QTestData & {
            return QTest::newRow(name) << QString() << QByteArray(body);
        };
        write("post without text", R"({"user_id": 1, "image_url": ""})") << malformed;
        write("post without image_url", R"({"user_id": 1, "text": "a"})") << malformed;
        write("post with a text user id", R"({"user_id": "1", "text": "a", "image_url": ""})") << malformed;
        write("post with a fractional user id", R"({"user_id": 1.5, "text": "a", "image_url": ""})") << malformed;
        write("post with a number as image_url", R"({"user_id": 1, "text": "a", "image_url": 3})") << malformed;
        write("post with blank text", R"({"user_id": 1, "text": " \n ", "image_url": ""})") << "Напишите текст записи";
        write("post by nobody", R"({"user_id": 999, "text": "a", "image_url": ""})") << noUser;
        write("repost of no post", R"({"action": "repost", "post_id": 999, "user_id": 1})") << noPost;
        write("repost by nobody", R"({"action": "repost", "post_id": 1, "user_id": 999})") << noUser;
        write("repost without user", R"({"action": "repost", "post_id": 1})") << malformed;
        write("comment on no post", R"({"action": "comment", "post_id": 999, "user_id": 1, "text": "a"})") << noPost;
        write("comment with a null text", R"({"action": "comment", "post_id": 1, "user_id": 1, "text": null})")
            << malformed;
        write("blank comment", R"({"action": "comment", "post_id": 1, "user_id": 1, "text": " "})")
            << "Напишите комментарий";
        write("unknown action", R"({"action": "like", "post_id": 1, "user_id": 1})") << unknown;
        write("action of another type", R"({"action": 1, "post_id": 1, "user_id": 1})") << unknown;
        const auto read = [](const char *name, const char *query) -> QTestData & {
            return QTest::newRow(name) << QString::fromLatin1(query) << QByteArray();
        };
        read("comments of an unknown post", "action=comments&post_id=999") << noPost;
        read("comments of no post id", "action=comments") << "Не указана запись";
        read("comments of a post id not a number", "action=comments&post_id=1x") << "Не указана запись";
        read("unknown read", "action=likes&post_id=1") << unknown;
    }
    void refusals()
    {
        QFETCH(QString, query);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const QList<Post> before = feed();
        const HttpReply reply = query.isEmpty() ? m_http->post(QStringLiteral("/api/feed.php"), body)
                                                : m_http->get(QStringLiteral("/api/feed.php?") + query);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QCOMPARE(feed(), before);
        QCOMPARE(comments(1).size(), 2);
    }

    void newPostComesBackWholeAndHeadsTheFeed()
    {
        for (const QString &imageUrl : {QString(), QStringLiteral("http://127.0.0.1:1/media/x.jpg")}) {
            const HttpReply reply =
                m_http->postJson(QStringLiteral("/api/feed.php"),
                                 {{"user_id", 2}, {"text", QStringLiteral("Новая запись")}, {"image_url", imageUrl}});
            const auto envelope = decodeJson<APIResponse<Post>>(reply.body);
            QVERIFY(envelope.success && envelope.data);
            const Post &post = *envelope.data;
            QCOMPARE(post.author->id, 2);
            QCOMPARE(post.text, QStringLiteral("Новая запись"));
            QCOMPARE(post.likesCount + post.repostsCount + post.commentsCount, 0);
            if (imageUrl.isEmpty()) {
                QVERIFY(post.attachments.isEmpty());
            } else {
                QCOMPARE(post.attachments.size(), 1);
                QCOMPARE(post.attachments.first().type, PostAttachment::AttachmentType::image);
                QCOMPARE(post.attachments.first().url, imageUrl);
            }
            QCOMPARE(feed().first(), post);
        }
    }

    void repostTogglesAndCounts()
    {
        const qint64 before = postWithId(2).repostsCount;
        const QJsonObject body{{"action", "repost"}, {"post_id", 2}, {"user_id", 4}};
        auto first = decodeJson<APIResponse<QMap<QString, bool>>>(m_http->postJson("/api/feed.php", body).body);
        QVERIFY(first.success);
        QCOMPARE(first.data->value(QStringLiteral("is_reposted")), true);
        QCOMPARE(postWithId(2).repostsCount, before + 1);
        auto second = decodeJson<APIResponse<QMap<QString, bool>>>(m_http->postJson("/api/feed.php", body).body);
        QCOMPARE(second.data->value(QStringLiteral("is_reposted")), false);
        QCOMPARE(postWithId(2).repostsCount, before);
    }

    void commentsComeOldestFirstAndCount()
    {
        const QList<Comment> before = comments(1);
        QCOMPARE(before.size(), 2);
        QCOMPARE(before.at(0).text, QStringLiteral("Похоже на набережную!"));
        QCOMPARE(before.at(1).text, QStringLiteral("Красота 😍"));
        const qint64 counted = postWithId(1).commentsCount;

        const HttpReply reply = m_http->postJson(
            QStringLiteral("/api/feed.php"),
            {{"action", "comment"}, {"post_id", 1}, {"user_id", 3}, {"text", QStringLiteral("Третий")}});
        const auto envelope = decodeJson<APIResponse<Comment>>(reply.body);
        QVERIFY(envelope.success && envelope.data);
        QCOMPARE(envelope.data->postId, 1);
        QCOMPARE(envelope.data->author.id, 3);
        QCOMPARE(envelope.data->text, QStringLiteral("Третий"));
        QCOMPARE(comments(1), before + QList<Comment>{*envelope.data});
        QCOMPARE(postWithId(1).commentsCount, counted + 1);
        // Other posts' comments stay theirs.
        QVERIFY(comments(3).isEmpty());
    }
};

QTEST_MAIN(tst_ServiceFeed)
#include "tst_service_feed.moc"
