// Videos, channels and channel posts: the video's author with only an id, the channel's owner and
// post list told apart when missing, empty or present, and the constructor defaults.
#include "DecodingFailure.h"
#include "RecordSamples.h"

#include "Channel.h"
#include "ChannelPost.h"
#include "Video.h"

#include <QTest>

namespace {

const QByteArray bareChannel = R"({"id":4,"name":"Канал","description":"","subscribers_count":0,)"
                               R"("is_subscribed":false,"is_verified":false,"category":"Паблик"})";

QByteArray channelWith(const QByteArray &member)
{
    return bareChannel.chopped(1) + "," + member + "}";
}

} // namespace

class TestVideoChannelRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void videoAuthorWithOnlyId();
    void videoConstructorDefaults();
    void videoEqualityAndRoundTrip();
    void channelOwnerAndPosts_data();
    void channelOwnerAndPosts();
    void channelConstructorDefaults();
    void badChannelRefusesTheCatalogue_data();
    void badChannelRefusesTheCatalogue();
    void channelPostConstructorDefaults();
    void channelEncodeThenDecode();
};

void TestVideoChannelRecords::videoAuthorWithOnlyId()
{
    const QByteArray json = QByteArray(RecordSamples::video)
                                .replace(R"(,"username":"anna","first_name":"Анна","last_name":"","is_verified":false,)"
                                         R"("followers_count":0,"following_count":0,"is_online":true)",
                                         "");
    QVERIFY(json.contains(R"("author":{"id":7})"));
    const Video video = decodeJson<Video>(json);
    QCOMPARE(video.author, decodeJson<User>(R"({"id":7})"));
    QCOMPARE(video.author.fullName(), QStringLiteral("Пользователь"));
}

void TestVideoChannelRecords::videoConstructorDefaults()
{
    const Video video{.id = 1,
                      .title = QStringLiteral("t"),
                      .description = QStringLiteral("d"),
                      .author = User::demoUser(),
                      .thumbnailUrl = QStringLiteral("p"),
                      .videoUrl = QStringLiteral("v"),
                      .durationSeconds = 30};
    QCOMPARE(video.viewsCount, 0);
    QCOMPARE(video.likesCount, 0);
    QVERIFY(!video.isLiked);
    QCOMPARE(video.createdAtFormatted, QStringLiteral("Только что"));
}

void TestVideoChannelRecords::videoEqualityAndRoundTrip()
{
    const Video video = decodeJson<Video>(RecordSamples::video);
    QCOMPARE(decodeJson<Video>(video.toJson()), video);
    Video viewed = video;
    viewed.viewsCount += 1;
    QVERIFY(viewed != video);
    QVERIFY(qHash(viewed) != qHash(video));
}

void TestVideoChannelRecords::channelOwnerAndPosts_data()
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

void TestVideoChannelRecords::channelOwnerAndPosts()
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

void TestVideoChannelRecords::channelConstructorDefaults()
{
    const Channel channel{.id = 1,
                          .name = QStringLiteral("n"),
                          .description = QStringLiteral("d"),
                          .avatarUrl = std::nullopt,
                          .coverUrl = std::nullopt};
    QCOMPARE(channel.userId, std::optional<qint64>(1));
    QCOMPARE(channel.subscribersCount, 0);
    QVERIFY(!channel.isSubscribed);
    QVERIFY(!channel.isVerified);
    QCOMPARE(channel.category, QStringLiteral("Паблик"));
    QVERIFY(channel.posts && channel.posts->isEmpty());

    // Decoding gives absent for both instead, and the two are different values.
    Channel decoded = decodeJson<Channel>(bareChannel);
    QVERIFY(!decoded.userId);
    QVERIFY(!decoded.posts);
    Channel withEmptyPosts = decoded;
    withEmptyPosts.posts = QList<ChannelPost>();
    QVERIFY(withEmptyPosts != decoded);
    QVERIFY(qHash(withEmptyPosts) != qHash(decoded));
}

void TestVideoChannelRecords::badChannelRefusesTheCatalogue_data()
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

void TestVideoChannelRecords::badChannelRefusesTheCatalogue()
{
    QFETCH(QByteArray, badChannel);
    QFETCH(QString, path);
    const auto failure = failureOf<QList<Channel>>("[" + RecordSamples::channel + "," + badChannel + "]");
    QVERIFY(failure);
    QCOMPARE(failure->path(), path);
}

void TestVideoChannelRecords::channelPostConstructorDefaults()
{
    const ChannelPost post{.id = 1, .channelId = 2, .text = QStringLiteral("t"), .imageUrl = std::nullopt};
    QCOMPARE(post.likesCount, 0);
    QCOMPARE(post.viewsCount, 1);
    QCOMPARE(post.createdAtFormatted, QStringLiteral("Только что"));
}

void TestVideoChannelRecords::channelEncodeThenDecode()
{
    Channel channel = decodeJson<Channel>(RecordSamples::channel);
    channel.isSubscribed = true;
    channel.subscribersCount += 1;
    channel.posts->prepend(ChannelPost{.id = 10,
                                       .channelId = 4,
                                       .text = QStringLiteral("Новый"),
                                       .imageUrl = QStringLiteral("https://example.org/n.jpg")});
    QCOMPARE(decodeJson<Channel>(channel.toJson()), channel);
    QCOMPARE(decodeJson<Channel>(channel.toJson()).posts->first().id, 10);
}

QTEST_GUILESS_MAIN(TestVideoChannelRecords)
#include "tst_videochannelrecords.moc"
