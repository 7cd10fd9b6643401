// What records hold beyond their shapes: attachment kinds, lenient comments and authors, authors
// shared within a reply, display values (the video's duration shares the track's format but not
// its "LIVE"), a channel's owner and post list told apart when missing, empty or present, and a
// bad element refusing its whole list.
#include "DecodingFailure.h"
#include "RecordSamples.h"

#include "Album.h"
#include "Channel.h"
#include "ChannelPost.h"
#include "Comment.h"
#include "Playlist.h"
#include "Post.h"
#include "RadioStation.h"
#include "Track.h"
#include "Video.h"

#include <QTest>
#include <limits>

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

Track sampleTrack()
{
    return decodeJson<Track>(RecordSamples::track);
}

const QByteArray bareChannel = R"({"id":4,"name":"Канал","description":"","subscribers_count":0,)"
                               R"("is_subscribed":false,"is_verified":false,"category":"Паблик"})";

QByteArray channelWith(const QByteArray &member)
{
    return bareChannel.chopped(1) + "," + member + "}";
}

} // namespace

class TestRecordRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void attachmentKinds_data();
    void attachmentKinds();
    void authorWithOnlyIdIsAccepted();
    void equalAuthorsAreShared_data();
    void equalAuthorsAreShared();
    void commentLenientDefaults();
    void durations_data();
    void durations();
    void badTrackRefusesItsAlbum();
    void radioStation_data();
    void radioStation();
    void channelOwnerAndPosts_data();
    void channelOwnerAndPosts();
    void absentAndEmptyPostsDiffer();
    void badChannelRefusesTheCatalogue_data();
    void badChannelRefusesTheCatalogue();
};

void TestRecordRules::attachmentKinds_data()
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

void TestRecordRules::attachmentKinds()
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

void TestRecordRules::authorWithOnlyIdIsAccepted()
{
    const Post post = decodeJson<Post>(postJson(1, "[]", R"(,"channel_name":null)"));
    QCOMPARE(post.author->id, 2);
    QCOMPARE(post.author->username, QStringLiteral("user"));
    QVERIFY(post.author->isOnline);
    QVERIFY(!post.channelName);
    QVERIFY(!post.channelAvatarUrl);
}




void TestRecordRules::equalAuthorsAreShared_data()
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

void TestRecordRules::equalAuthorsAreShared()
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

void TestRecordRules::commentLenientDefaults()
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

void TestRecordRules::durations_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("track");
    QTest::addColumn<QString>("video");
    QTest::newRow("zero: live for a track only") << qint64(0) << QStringLiteral("LIVE") << QStringLiteral("0:00");
    QTest::newRow("5") << qint64(5) << QStringLiteral("0:05") << QStringLiteral("0:05");
    QTest::newRow("59") << qint64(59) << QStringLiteral("0:59") << QStringLiteral("0:59");
    QTest::newRow("60") << qint64(60) << QStringLiteral("1:00") << QStringLiteral("1:00");
    QTest::newRow("61") << qint64(61) << QStringLiteral("1:01") << QStringLiteral("1:01");
    QTest::newRow("600") << qint64(600) << QStringLiteral("10:00") << QStringLiteral("10:00");
    QTest::newRow("an hour") << qint64(3600) << QStringLiteral("60:00") << QStringLiteral("60:00");
    QTest::newRow("no hours") << qint64(3725) << QStringLiteral("62:05") << QStringLiteral("62:05");
    QTest::newRow("negative") << qint64(-75) << QStringLiteral("-1:-15") << QStringLiteral("-1:-15");
    QTest::newRow("negative under a minute") << qint64(-30) << QStringLiteral("0:-30") << QStringLiteral("0:-30");
    QTest::newRow("huge") << qint64(6000000000) << QStringLiteral("100000000:00") << QStringLiteral("100000000:00");
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << QStringLiteral("-153722867280912930:-8")
                              << QStringLiteral("-153722867280912930:-8");
}

void TestRecordRules::durations()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, track);
    QFETCH(QString, video);
    Track t = sampleTrack();
    t.durationSeconds = seconds;
    QCOMPARE(t.durationFormatted(), track);
    Video v = decodeJson<Video>(RecordSamples::video);
    v.durationSeconds = seconds;
    QCOMPARE(v.durationFormatted(), video);
}

void TestRecordRules::badTrackRefusesItsAlbum()
{
    const auto album =
        failureOf<Album>(QByteArray(RecordSamples::album).replace(R"("explicit":true)", R"("explicit":"yes")"));
    QVERIFY(album);
    QCOMPARE(album->path(), QStringLiteral("tracks[0].explicit"));
}



void TestRecordRules::radioStation_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<QString>("text");
    QTest::newRow("101.7") << 101.7 << QStringLiteral("101.7 FM");
    QTest::newRow("whole") << 88.0 << QStringLiteral("88.0 FM");
    QTest::newRow("rounded up") << 99.96 << QStringLiteral("100.0 FM");
    QTest::newRow("rounded down") << 87.54 << QStringLiteral("87.5 FM");
}

void TestRecordRules::radioStation()
{
    QFETCH(double, frequency);
    QFETCH(QString, text);
    const RadioStation station{.id = 1,
                               .name = QStringLiteral("Радио"),
                               .frequency = frequency,
                               .genre = QStringLiteral("Поп"),
                               .streamUrl = QStringLiteral("u")};
    QCOMPARE(station.frequencyText(), text);
    QCOMPARE(decodeJson<RadioStation>(station.toJson()), station);
}

void TestRecordRules::channelOwnerAndPosts_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<std::optional<qint64>>("userId");
    QTest::addColumn<int>("posts"); // -1: absent
    QTest::newRow("neither key") << bareChannel << std::optional<qint64>() << -1;
    QTest::newRow("both null") << channelWith(R"("user_id":null,"posts":null)") << std::optional<qint64>() << -1;
    QTest::newRow("owner and no posts") << channelWith(R"("user_id":7,"posts":[])") << std::optional<qint64>(7) << 0;
    QTest::newRow("posts") << channelWith(R"("posts":[)" + RecordSamples::channelPost + "]") << std::optional<qint64>()
                           << 1;
}

void TestRecordRules::channelOwnerAndPosts()
{
    QFETCH(QByteArray, json);
    QFETCH(std::optional<qint64>, userId);
    QFETCH(int, posts);
    const Channel channel = decodeJson<Channel>(json);
    QCOMPARE(channel.userId, userId);
    QCOMPARE(channel.posts.has_value(), posts >= 0);
    if (posts >= 0)
        QCOMPARE(channel.posts->size(), posts);
    // Absent stays absent when written: no key, never null; an empty list stays an empty list.
    const QByteArray written = channel.toJson();
    QCOMPARE(written.contains("\"posts\""), posts >= 0);
    QCOMPARE(written.contains("\"user_id\""), userId.has_value());
    QVERIFY(!written.contains("null"));
    QCOMPARE(decodeJson<Channel>(written), channel);
}

void TestRecordRules::absentAndEmptyPostsDiffer()
{
    // A channel made in code has an empty list (see tst_recordshapes); decoded without the key,
    // none, and the two are different values.
    Channel decoded = decodeJson<Channel>(bareChannel);
    QVERIFY(!decoded.userId);
    QVERIFY(!decoded.posts);
    Channel withEmptyPosts = decoded;
    withEmptyPosts.posts = QList<ChannelPost>();
    QVERIFY(withEmptyPosts != decoded);
    QVERIFY(qHash(withEmptyPosts) != qHash(decoded));
}

void TestRecordRules::badChannelRefusesTheCatalogue_data()
{
    QTest::addColumn<QByteArray>("badChannel");
    QTest::addColumn<QString>("path");
    QTest::newRow("without is_verified") << QByteArray(bareChannel).replace(R"("is_verified":false,)", "")
                                         << QStringLiteral("[1].is_verified");
    QTest::newRow("a post without channel_id")
        << channelWith(R"("posts":[)" + QByteArray(RecordSamples::channelPost).replace(R"("channel_id":4,)", "") + "]")
        << QStringLiteral("[1].posts[0].channel_id");
    QTest::newRow("posts as an object") << channelWith(R"("posts":{})") << QStringLiteral("[1].posts");
}

void TestRecordRules::badChannelRefusesTheCatalogue()
{
    QFETCH(QByteArray, badChannel);
    QFETCH(QString, path);
    const auto failure = failureOf<QList<Channel>>("[" + RecordSamples::channel + "," + badChannel + "]");
    QVERIFY(failure);
    QCOMPARE(failure->path(), path);
}

QTEST_GUILESS_MAIN(TestRecordRules)
#include "tst_recordrules.moc"
