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
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const QString malformed = QStringLiteral("Некорректный запрос");
        QTest::newRow("post without text") << QByteArray(R"({"user_id": 1, "image_url": ""})") << malformed;
        QTest::newRow("post without image_url") << QByteArray(R"({"user_id": 1, "text": "a"})") << malformed;
        QTest::newRow("post with a text user id")
            << QByteArray(R"({"user_id": "1", "text": "a", "image_url": ""})") << malformed;
        QTest::newRow("post with a fractional user id")
            << QByteArray(R"({"user_id": 1.5, "text": "a", "image_url": ""})") << malformed;
        QTest::newRow("post with a number as image_url")
            << QByteArray(R"({"user_id": 1, "text": "a", "image_url": 3})") << malformed;
        QTest::newRow("post with blank text") << QByteArray(R"({"user_id": 1, "text": " \n ", "image_url": ""})")
                                              << QStringLiteral("Напишите текст записи");
        QTest::newRow("post by nobody") << QByteArray(R"({"user_id": 999, "text": "a", "image_url": ""})")
                                        << QStringLiteral("Пользователь не найден");
        QTest::newRow("repost of no post") << QByteArray(R"({"action": "repost", "post_id": 999, "user_id": 1})")
                                           << QStringLiteral("Запись не найдена");
        QTest::newRow("repost by nobody") << QByteArray(R"({"action": "repost", "post_id": 1, "user_id": 999})")
                                          << QStringLiteral("Пользователь не найден");
        QTest::newRow("repost without user") << QByteArray(R"({"action": "repost", "post_id": 1})") << malformed;
        QTest::newRow("comment on no post")
            << QByteArray(R"({"action": "comment", "post_id": 999, "user_id": 1, "text": "a"})")
            << QStringLiteral("Запись не найдена");
        QTest::newRow("comment with a null text")
            << QByteArray(R"({"action": "comment", "post_id": 1, "user_id": 1, "text": null})") << malformed;
        QTest::newRow("blank comment") << QByteArray(
                                              R"({"action": "comment", "post_id": 1, "user_id": 1, "text": " "})")
                                       << QStringLiteral("Напишите комментарий");
        QTest::newRow("unknown action") << QByteArray(R"({"action": "like", "post_id": 1, "user_id": 1})")
                                        << QStringLiteral("Неизвестное действие");
        QTest::newRow("action of another type")
            << QByteArray(R"({"action": 1, "post_id": 1, "user_id": 1})") << QStringLiteral("Неизвестное действие");
    }
    void refusals()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const QList<Post> before = feed();
        const HttpReply reply = m_http->post(QStringLiteral("/api/feed.php"), body);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QCOMPARE(feed(), before);
        QCOMPARE(comments(1).size(), 2);
    }

    void commentReadsAreRefusedForUnknownOrMissingPosts_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown post") << QStringLiteral("action=comments&post_id=999")
                                      << QStringLiteral("Запись не найдена");
        QTest::newRow("no post id") << QStringLiteral("action=comments") << QStringLiteral("Не указана запись");
        QTest::newRow("post id not a number")
            << QStringLiteral("action=comments&post_id=1x") << QStringLiteral("Не указана запись");
        QTest::newRow("unknown action") << QStringLiteral("action=likes&post_id=1")
                                        << QStringLiteral("Неизвестное действие");
    }
    void commentReadsAreRefusedForUnknownOrMissingPosts()
    {
        QFETCH(QString, query);
        QFETCH(QString, message);
        const HttpReply reply = m_http->get(QStringLiteral("/api/feed.php?") + query);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
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
            QCOMPARE(post.author.id, 2);
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
