// Channels: the owner and the post list told apart when missing, empty or present, and a bad
// channel refusing the catalogue.
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
    void channelOwnerAndPosts_data();
    void channelOwnerAndPosts();
    void absentAndEmptyPostsDiffer();
    void badChannelRefusesTheCatalogue_data();
    void badChannelRefusesTheCatalogue();
};




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

void TestVideoChannelRecords::absentAndEmptyPostsDiffer()
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



QTEST_GUILESS_MAIN(TestVideoChannelRecords)
#include "tst_videochannelrecords.moc"
