// Posts with their attachments, and comments: strict against lenient decoding, attachment kinds,
// authors shared within a reply.
#include "DecodingFailure.h"

#include "Comment.h"
#include "Post.h"

#include <QTest>

namespace {

QByteArray postJson(qint64 id, const QByteArray &attachments = "[]", const QByteArray &extra = {})
{
    return R"({"id":)" + QByteArray::number(id) + R"(,"author":{"id":2},"text":"t","attachments":)" + attachments +
           R"(,"likes_count":1,"is_liked":false,"reposts_count":0,"is_reposted":false,"comments_count":0,)"
           R"("views_count":9,"created_at_formatted":"вчера")" +
           extra + "}";
}

QByteArray attachmentJson(const QByteArray &type)
{
    return R"({"id":"a","type":)" + type + R"(,"url":"https://example.org/x"})";
}

} // namespace

class TestFeedRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void attachmentKinds_data();
    void attachmentKinds();
    void authorWithOnlyIdIsAccepted();
    void equalAuthorsAreShared_data();
    void equalAuthorsAreShared();
    void commentLenientDefaults();
};

void TestFeedRecords::attachmentKinds_data()
{
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<int>("kind"); // an AttachmentType, or -1 for refused
    QTest::newRow("image") << QByteArray(R"("image")") << int(PostAttachment::AttachmentType::image);
    QTest::newRow("video") << QByteArray(R"("video")") << int(PostAttachment::AttachmentType::video);
    QTest::newRow("audio") << QByteArray(R"("audio")") << int(PostAttachment::AttachmentType::audio);
    QTest::newRow("capitalised") << QByteArray(R"("Image")") << -1;
    QTest::newRow("other kind") << QByteArray(R"("gif")") << -1;
    QTest::newRow("empty") << QByteArray(R"("")") << -1;
    QTest::newRow("padded") << QByteArray(R"("audio ")") << -1;
}

void TestFeedRecords::attachmentKinds()
{
    QFETCH(QByteArray, type);
    QFETCH(int, kind);
    const QByteArray feed = "[" + postJson(1) + "," + postJson(2, "[" + attachmentJson(type) + "]") + "]";
    if (kind >= 0) {
        const QList<Post> posts = decodeJson<QList<Post>>(feed);
        QVERIFY(posts.at(0).attachments.isEmpty()); // an empty list is a list
        QCOMPARE(int(posts.at(1).attachments.at(0).type), kind);
        QCOMPARE(decodeJson<QList<Post>>(encodeJson(posts)), posts);
        return;
    }
    // One attachment of an unknown kind makes the whole feed undecodable, and says which.
    const auto error = failureOf<QList<Post>>(feed);
    QVERIFY(error);
    QCOMPARE(error->kind(), DecodingError::Kind::UnknownValue);
    QCOMPARE(error->path(), QStringLiteral("[1].attachments[0].type"));
    QCOMPARE(error->detail(), QString::fromUtf8(type.mid(1, type.size() - 2)));
}

void TestFeedRecords::authorWithOnlyIdIsAccepted()
{
    const Post post = decodeJson<Post>(postJson(1, "[]", R"(,"channel_name":null)"));
    QCOMPARE(post.author->id, 2);
    QCOMPARE(post.author->username, QStringLiteral("user"));
    QVERIFY(post.author->isOnline);
    QVERIFY(!post.channelName);
    QVERIFY(!post.channelAvatarUrl);
}




void TestFeedRecords::equalAuthorsAreShared_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<bool>("shared");
    QTest::addColumn<int>("secondId"); // -1: the second post fails
    QTest::newRow("equal") << QByteArray(R"({"id":2,"bio":"b"})") << QByteArray(R"({"id":2,"bio":"b"})") << true << 2;
    QTest::newRow("another text") << QByteArray(R"({"id":2,"bio":"b"})") << QByteArray(R"({"id":2,"bio":"c"})")
                                  << false << 2;
    QTest::newRow("members in another order") << QByteArray(R"({"id":2,"bio":"b"})")
                                              << QByteArray(R"({"bio":"b","id":2})") << false << 2;
    // The same double, but only the first is a whole number: the digits decide, never the cache.
    QTest::newRow("whole and not quite whole") << QByteArray(R"({"id":2.0})")
                                               << QByteArray(R"({"id":2.0000000000000000001})") << false << -1;
}

void TestFeedRecords::equalAuthorsAreShared()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(bool, shared);
    QFETCH(int, secondId);
    QByteArray feed = "[" + postJson(1) + "," + postJson(2) + "]";
    feed.replace(feed.indexOf(R"({"id":2})"), 8, first);
    feed.replace(feed.lastIndexOf(R"({"id":2})"), 8, second);
    QList<Post> posts;
    const auto failure = failureOf<QList<Post>>(feed, &posts);
    if (secondId < 0) {
        QCOMPARE(failure->path(), QStringLiteral("[1].author.id"));
        return;
    }
    QCOMPARE(posts[1].author->id, secondId);
    QCOMPARE(&*posts[0].author == &*posts[1].author, shared);
    // Every post holds its value, whatever shares it.
    QCOMPARE(posts, decodeJson<QList<Post>>(encodeJson(posts)));
}

void TestFeedRecords::commentLenientDefaults()
{
    const Comment comment = decodeJson<Comment>(R"({"id":5,"author":{"id":3}})");
    QCOMPARE(comment.id, 5);
    QCOMPARE(comment.postId, 0);
    QCOMPARE(comment.text, QString());
    QCOMPARE(comment.likesCount, 0);
    QVERIFY(!comment.isLiked);
    QCOMPARE(comment.createdAtFormatted, QStringLiteral("Только что"));
    QCOMPARE(comment.author, decodeJson<User>(R"({"id":3})"));
    QCOMPARE(decodeJson<Comment>(R"({"id":5,"author":{"id":3},"post_id":null,"text":null,"likes_count":null,)"
                                 R"("is_liked":null,"created_at_formatted":null})"),
             comment);
    // Only missing or null gives the default: an empty display time stays empty.
    QCOMPARE(decodeJson<Comment>(R"({"id":5,"author":{"id":3},"created_at_formatted":""})").createdAtFormatted,
             QString());
}


QTEST_GUILESS_MAIN(TestFeedRecords)
#include "tst_feedrecords.moc"
