// The channels model: what it sends (exact targets and bodies, through a scripted peer), what it
// keeps when a read fails, the subscription flip as one table, and the real service's answers.
#include "ChannelJson.h"
#include "ChannelsViewModel.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "ServiceTestCase.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <limits>

using ChannelJson::Spec;

namespace {

constexpr qint64 Largest = std::numeric_limits<qint64>::max();
constexpr qint64 Smallest = std::numeric_limits<qint64>::min();

QString state(const Channel &channel)
{
    return QStringLiteral("%1:%2/%3").arg(channel.id).arg(channel.isSubscribed ? 1 : 0).arg(channel.subscribersCount);
}

// "id:flag/count" for every catalogue entry, in order.
QString listState(const ChannelsViewModel &model)
{
    QStringList entries;
    for (const Channel &channel : model.channels())
        entries << state(channel);
    return entries.join(QLatin1Char(' '));
}

QString detailsState(const ChannelsViewModel &model)
{
    return model.selectedChannelDetails() ? state(*model.selectedChannelDetails()) : QStringLiteral("-");
}

QByteArray toggleBody(qint64 id)
{
    return R"({"action":"toggle_subscribe","channel_id":)" + QByteArray::number(id) + "}";
}

} // namespace

class TestChannelsViewModel : public ServiceTestCase
{
    Q_OBJECT

private Q_SLOTS:
    void toggle_data()
    {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QByteArray>("details"); // empty: none fetched
        QTest::addColumn<qint64>("toggled");
        QTest::addColumn<QByteArray>("postReply"); // empty: a reply that is no reply at all
        QTest::addColumn<QString>("listAfter");
        QTest::addColumn<QString>("detailsAfter");

        const QByteArray ok = R"({"success":true,"message":"ok","data":{"is_subscribed":true}})";
        const QByteArray refused = R"({"success":false,"message":"Канал не найден"})";
        QTest::newRow("7 becomes 8") << ChannelJson::list({{.id = 1, .count = 7}}) << QByteArray() << qint64(1) << ok
                                     << "1:1/8"
                                     << "-";
        QTest::newRow("subscribed 0 stays 0") << ChannelJson::list({{.id = 1, .subscribed = true, .count = 0}})
                                              << QByteArray() << qint64(1) << ok << "1:0/0"
                                              << "-";
        QTest::newRow("subscribed -3 becomes 0") << ChannelJson::list({{.id = 1, .subscribed = true, .count = -3}})
                                                 << QByteArray() << qint64(1) << ok << "1:0/0"
                                                 << "-";
        QTest::newRow("largest count stays largest") << ChannelJson::list({{.id = 1, .count = Largest}}) << QByteArray()
                                                     << qint64(1) << ok << QStringLiteral("1:1/%1").arg(Largest) << "-";
        QTest::newRow("smallest count becomes 0")
            << ChannelJson::list({{.id = 1, .subscribed = true, .count = Smallest}}) << QByteArray() << qint64(1) << ok
            << "1:0/0"
            << "-";
        QTest::newRow("first duplicate only") << ChannelJson::list({{.id = 4, .count = 5}, {.id = 4, .count = 5}})
                                              << QByteArray() << qint64(4) << ok << "4:1/6 4:0/5"
                                              << "-";
        QTest::newRow("details of the same id flip from their own values")
            << ChannelJson::list({{.id = 1, .count = 5}}) << ChannelJson::one({.id = 1, .count = 9}) << qint64(1) << ok
            << "1:1/6"
            << "1:1/10";
        QTest::newRow("details of another id stay")
            << ChannelJson::list({{.id = 1, .count = 5}, {.id = 2, .subscribed = true, .count = 3}})
            << ChannelJson::one({.id = 2, .subscribed = true, .count = 3}) << qint64(1) << ok << "1:1/6 2:1/3"
            << "2:1/3";
        QTest::newRow("details only, not in the catalogue")
            << ChannelJson::list({{.id = 2, .count = 4}}) << ChannelJson::one({.id = 1, .count = 0}) << qint64(1) << ok
            << "2:0/4"
            << "1:1/1";
        QTest::newRow("held nowhere, still sent")
            << ChannelJson::list({{.id = 2, .count = 4}}) << QByteArray() << qint64(9) << ok << "2:0/4"
            << "-";
        QTest::newRow("refused request keeps the flip")
            << ChannelJson::list({{.id = 3, .subscribed = true, .count = 1}}) << QByteArray() << qint64(3) << refused
            << "3:0/0"
            << "-";
        QTest::newRow("failed request keeps the flip")
            << ChannelJson::list({{.id = 3, .count = 1}}) << QByteArray() << qint64(3) << QByteArray() << "3:1/2"
            << "-";
    }

    void toggle()
    {
        QFETCH(QByteArray, catalogue);
        QFETCH(QByteArray, details);
        QFETCH(qint64, toggled);
        QFETCH(QByteArray, postReply);
        QFETCH(QString, listAfter);
        QFETCH(QString, detailsAfter);

        ScriptedResponder responder;
        responder.reply(200, catalogue);
        if (!details.isEmpty())
            responder.reply(200, details);
        if (!postReply.isEmpty())
            responder.reply(200, postReply);
        NetworkManager::shared().setBaseURL(responder.baseUrl());

        ChannelsViewModel model;
        QAbstractItemModelTester tester(model.channelsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_VERIFY(!model.channels().isEmpty());
        int expectedRequests = 1;
        if (!details.isEmpty()) {
            model.fetchChannelDetails(toggled == 1 ? 1 : 2);
            ++expectedRequests;
            QTRY_VERIFY(model.selectedChannelDetails());
        }

        // The argument's own flag and count are not looked at.
        model.toggleSubscribe(Channel{.id = toggled, .subscribersCount = 1000, .isSubscribed = true});
        QCOMPARE(listState(model), listAfter);
        QCOMPARE(detailsState(model), detailsAfter);

        QVERIFY(responder.waitForRequests(expectedRequests + 1));
        const ScriptedResponder::Request &post = responder.requests().last();
        QCOMPARE(post.method, QByteArray("POST"));
        QCOMPARE(post.target, QByteArray("/api/channels.php"));
        QCOMPARE(post.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(post.body, toggleBody(toggled));

        // Whatever the answer, nothing is rolled back and nothing is fetched again.
        QTest::qWait(150);
        QCOMPARE(listState(model), listAfter);
        QCOMPARE(detailsState(model), detailsAfter);
        QCOMPARE(responder.requests().size(), expectedRequests + 1);
    }

    void twoTogglesReturnToTheStart_data()
    {
        QTest::addColumn<bool>("subscribed");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("after");
        QTest::newRow("unsubscribed 5") << false << qint64(5) << "1:0/5";
        QTest::newRow("subscribed 0 ends at 1") << true << qint64(0) << "1:1/1";
        QTest::newRow("subscribed -2 ends at 1") << true << qint64(-2) << "1:1/1";
    }
    void twoTogglesReturnToTheStart()
    {
        QFETCH(bool, subscribed);
        QFETCH(qint64, count);
        QFETCH(QString, after);
        ScriptedResponder responder;
        responder.reply(200, ChannelJson::list({{.id = 1, .subscribed = subscribed, .count = count}}));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        ChannelsViewModel model;
        QTRY_VERIFY(!model.channels().isEmpty());
        model.toggleSubscribe(model.channels().first());
        model.toggleSubscribe(model.channels().first());
        QCOMPARE(listState(model), after);
        QVERIFY(responder.waitForRequests(3));
        QCOMPARE(responder.requests().at(1).body, toggleBody(1));
        QCOMPARE(responder.requests().at(2).body, toggleBody(1));
    }

    void readTargets_data()
    {
        QTest::addColumn<int>("kind"); // 0 catalogue, 1 details, 2 subscribers
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("details") << 1 << qint64(5) << QByteArray("/api/channels.php?channel_id=5");
        QTest::newRow("details of a negative id") << 1 << qint64(-12) << QByteArray("/api/channels.php?channel_id=-12");
        QTest::newRow("details of a large id")
            << 1 << Largest << QByteArray("/api/channels.php?channel_id=9223372036854775807");
        QTest::newRow("subscribers") << 2 << qint64(9)
                                     << QByteArray("/api/channels.php?action=subscribers&channel_id=9");
    }
    void readTargets()
    {
        QFETCH(int, kind);
        QFETCH(qint64, id);
        QFETCH(QByteArray, target);
        ScriptedResponder responder;
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        ChannelsViewModel model;
        QVERIFY(responder.waitForRequests(1));
        QCOMPARE(responder.requests().first().method, QByteArray("GET"));
        QCOMPARE(responder.requests().first().target, QByteArray("/api/channels.php"));
        QVERIFY(responder.requests().first().body.isEmpty());
        if (kind == 1)
            model.fetchChannelDetails(id);
        else
            model.fetchChannelSubscribers(id);
        QVERIFY(responder.waitForRequests(2));
        QCOMPARE(responder.requests().at(1).method, QByteArray("GET"));
        QCOMPARE(responder.requests().at(1).target, target);
        QVERIFY(responder.requests().at(1).body.isEmpty());
    }

    // Each read keeps what it had when the next one fails, and takes a reply bare or enveloped.
    void failedReadsKeepTheLastValue()
    {
        const QByteArray users = R"([{"id":2,"username":"ivan"},{"id":3,"username":"maria"}])";
        ScriptedResponder responder;
        responder.reply(200, R"({"success":true,"data":)" + ChannelJson::list({{.id = 1}, {.id = 2}}) + "}");
        responder.reply(200, ChannelJson::one({.id = 1, .name = QStringLiteral("A")}));
        responder.reply(200, users);
        responder.reply(200, R"({"success":false,"message":"Канал не найден"})");
        responder.reply(401, "{}");
        responder.reply(200, "{not json");
        NetworkManager::shared().setBaseURL(responder.baseUrl());

        ChannelsViewModel model;
        QTRY_COMPARE(model.channels().size(), 2);
        model.fetchChannelDetails(1);
        QTRY_VERIFY(model.selectedChannelDetails());
        model.fetchChannelSubscribers(1);
        QTRY_COMPARE(model.currentChannelSubscribers().size(), 2);
        QCOMPARE(model.currentChannelSubscribersChannelId(), std::optional<qint64>(1));

        model.fetchChannelDetails(2);
        model.fetchChannelSubscribers(2);
        model.loadChannels();
        QVERIFY(responder.waitForRequests(6));
        QTest::qWait(150);
        QCOMPARE(model.selectedChannelDetails()->name, QStringLiteral("A"));
        QCOMPARE(model.currentChannelSubscribers().size(), 2);
        // The list stays labelled with the channel it belongs to.
        QCOMPARE(model.currentChannelSubscribersChannelId(), std::optional<qint64>(1));
        QCOMPARE(model.channels().size(), 2);
    }

    void emptyCatalogueEmptiesTheList()
    {
        ScriptedResponder responder;
        responder.reply(200, ChannelJson::list({{.id = 1}}));
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        ChannelsViewModel model;
        QAbstractItemModelTester tester(model.channelsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_COMPARE(model.channels().size(), 1);
        model.loadChannels();
        QTRY_VERIFY(model.channels().isEmpty());
        QCOMPARE(model.channelsModel()->rowCount(), 0);
    }

    void modelGoneBeforeTheReplyIsLeftAlone()
    {
        ScriptedResponder responder;
        responder.reply(200, ChannelJson::list({{.id = 1}}));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        delete new ChannelsViewModel;
        QVERIFY(responder.waitForRequests(1));
        QTest::qWait(150);
    }

    void realServiceReads()
    {
        ChannelsViewModel model;
        QAbstractItemModelTester tester(model.channelsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_COMPARE(model.channels().size(), 3);
        // Newest first; the demo account follows the first and third channels.
        QCOMPARE(listState(model), QStringLiteral("3:1/2 2:0/2 1:1/5"));
        QVERIFY(!model.channels().first().posts);

        model.fetchChannelDetails(2);
        QTRY_VERIFY(model.selectedChannelDetails());
        QCOMPARE(model.selectedChannelDetails()->id, 2);
        QCOMPARE(model.selectedChannelDetails()->posts->size(), 2);

        QSignalSpy subscribers(&model, &ChannelsViewModel::currentChannelSubscribersChanged);
        model.fetchChannelSubscribers(1);
        QTRY_COMPARE(model.currentChannelSubscribers().size(), 5);
        QCOMPARE(model.currentChannelSubscribers().first().id, 1);
        QCOMPARE(model.currentChannelSubscribersChannelId(), std::optional<qint64>(1));

        // An unknown channel is refused; the last details and subscribers stay.
        model.fetchChannelDetails(999);
        model.fetchChannelSubscribers(999);
        QTest::qWait(300);
        QCOMPARE(model.selectedChannelDetails()->id, 2);
        QCOMPARE(model.currentChannelSubscribersChannelId(), std::optional<qint64>(1));
    }

    void realServiceToggleIsConfirmedByAReload()
    {
        ChannelsViewModel model;
        QTRY_COMPARE(model.channels().size(), 3);
        const Channel before = model.channels().at(1);
        model.toggleSubscribe(before);
        QCOMPARE(model.channels().at(1).isSubscribed, !before.isSubscribed);

        // A fresh model reads the service's own record.
        const auto reloaded = [&](bool subscribed, qint64 count) {
            ChannelsViewModel reader;
            if (!QTest::qWaitFor([&] { return reader.channels().size() == 3; }, 10000))
                return false;
            const Channel &channel = reader.channels().at(1);
            return channel.isSubscribed == subscribed && channel.subscribersCount == count;
        };
        QTRY_VERIFY(reloaded(!before.isSubscribed, before.subscribersCount + (before.isSubscribed ? -1 : 1)));

        model.fetchChannelDetails(before.id);
        QTRY_VERIFY(model.selectedChannelDetails());
        QCOMPARE(model.selectedChannelDetails()->isSubscribed, !before.isSubscribed);

        // And back, so that the demo data is as it was.
        model.toggleSubscribe(before);
        QTRY_VERIFY(reloaded(before.isSubscribed, before.subscribersCount));
    }
};

QTEST_MAIN(TestChannelsViewModel)
#include "tst_channelsviewmodel.moc"
