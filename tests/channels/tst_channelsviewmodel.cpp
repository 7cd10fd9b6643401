// The channels model: what it sends (exact targets and bodies, through a scripted peer), what it
// keeps when a read fails, and the subscription flip as one table. The real service's catalogue
// is read through the screen (tst_channelscreens).
#include "ChannelJson.h"
#include "ChannelsViewModel.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"

#include <QAbstractItemModelTester>
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

} // namespace

class TestChannelsViewModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toggle_data()
    {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QByteArray>("details"); // empty: none fetched
        QTest::addColumn<qint64>("toggled");
        QTest::addColumn<int>("toggles");
        QTest::addColumn<QByteArray>("postReply"); // empty: a reply that is no reply at all
        QTest::addColumn<QString>("listAfter");
        QTest::addColumn<QString>("detailsAfter");

        const auto row = [](const char *name, const QList<Spec> &catalogue, const std::optional<Spec> &details,
                            qint64 toggled, const QByteArray &reply, const QString &listAfter,
                            const QString &detailsAfter = QStringLiteral("-"), int toggles = 1) {
            QTest::newRow(name) << ChannelJson::list(catalogue) << (details ? ChannelJson::one(*details) : QByteArray())
                                << toggled << toggles << reply << listAfter << detailsAfter;
        };
        const QByteArray ok = R"({"success":true,"message":"ok","data":{"is_subscribed":true}})";
        const QByteArray refused = R"({"success":false,"message":"Канал не найден"})";
        row("7 becomes 8", {{.id = 1, .count = 7}}, {}, 1, ok, "1:1/8");
        row("subscribed 0 stays 0", {{.id = 1, .subscribed = true, .count = 0}}, {}, 1, ok, "1:0/0");
        row("subscribed -3 becomes 0", {{.id = 1, .subscribed = true, .count = -3}}, {}, 1, ok, "1:0/0");
        row("largest count stays largest", {{.id = 1, .count = Largest}}, {}, 1, ok,
            QStringLiteral("1:1/%1").arg(Largest));
        row("smallest count becomes 0", {{.id = 1, .subscribed = true, .count = Smallest}}, {}, 1, ok, "1:0/0");
        row("first duplicate only", {{.id = 4, .count = 5}, {.id = 4, .count = 5}}, {}, 4, ok, "4:1/6 4:0/5");
        row("details of the same id flip from their own values", {{.id = 1, .count = 5}}, Spec{.id = 1, .count = 9}, 1,
            ok, "1:1/6", "1:1/10");
        row("details of another id stay", {{.id = 1, .count = 5}, {.id = 2, .subscribed = true, .count = 3}},
            Spec{.id = 2, .subscribed = true, .count = 3}, 1, ok, "1:1/6 2:1/3", "2:1/3");
        row("details only, not in the catalogue", {{.id = 2, .count = 4}}, Spec{.id = 1, .count = 0}, 1, ok, "2:0/4",
            "1:1/1");
        row("held nowhere, still sent", {{.id = 2, .count = 4}}, {}, 9, ok, "2:0/4");
        row("refused request keeps the flip", {{.id = 3, .subscribed = true, .count = 1}}, {}, 3, refused, "3:0/0");
        row("failed request keeps the flip", {{.id = 3, .count = 1}}, {}, 3, {}, "3:1/2");
        // Two toggles return to the start, except that a count the service held below one comes back as one.
        row("twice from unsubscribed 5", {{.id = 1, .count = 5}}, {}, 1, ok, "1:0/5", "-", 2);
        row("twice from subscribed 0", {{.id = 1, .subscribed = true, .count = 0}}, {}, 1, ok, "1:1/1", "-", 2);
        row("twice from subscribed -2", {{.id = 1, .subscribed = true, .count = -2}}, {}, 1, ok, "1:1/1", "-", 2);
    }

    void toggle()
    {
        QFETCH(QByteArray, catalogue);
        QFETCH(QByteArray, details);
        QFETCH(qint64, toggled);
        QFETCH(int, toggles);
        QFETCH(QByteArray, postReply);
        QFETCH(QString, listAfter);
        QFETCH(QString, detailsAfter);

        ScriptedResponder responder;
        responder.reply(200, catalogue);
        if (!details.isEmpty())
            responder.reply(200, details);
        for (int i = 0; i < toggles && !postReply.isEmpty(); ++i)
            responder.reply(200, postReply);
        NetworkManager::shared().setBaseURL(responder.baseUrl());

        ChannelsViewModel model;
        QAbstractItemModelTester tester(model.channelsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTRY_VERIFY(!model.channels().isEmpty());
        const int reads = details.isEmpty() ? 1 : 2;
        if (!details.isEmpty()) {
            model.fetchChannelDetails(decodeJson<Channel>(details).id);
            QTRY_VERIFY(model.selectedChannelDetails());
        }

        // The argument's own flag and count are not looked at.
        for (int i = 0; i < toggles; ++i)
            model.toggleSubscribe(Channel{.id = toggled, .subscribersCount = 1000, .isSubscribed = true});
        QCOMPARE(listState(model), listAfter);
        QCOMPARE(detailsState(model), detailsAfter);

        QVERIFY(responder.waitForRequests(reads + toggles));
        for (qsizetype i = reads; i < reads + toggles; ++i) {
            const ScriptedResponder::Request &post = responder.requests().at(i);
            QCOMPARE(post.method, QByteArray("POST"));
            QCOMPARE(post.target, QByteArray("/api/channels.php"));
            QCOMPARE(post.header("Content-Type"), QByteArray("application/json"));
            QCOMPARE(post.body, R"({"action":"toggle_subscribe","channel_id":)" + QByteArray::number(toggled) + "}");
        }

        // Whatever the answer, nothing is rolled back and nothing is fetched again.
        QTest::qWait(150);
        QCOMPARE(listState(model), listAfter);
        QCOMPARE(detailsState(model), detailsAfter);
        QCOMPARE(responder.requests().size(), reads + toggles);
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
        responder.reply(200, "[]");
        NetworkManager::shared().setBaseURL(responder.baseUrl());

        ChannelsViewModel model;
        QAbstractItemModelTester tester(model.channelsModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
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

        // An empty catalogue that does land empties the list.
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
};

QTEST_MAIN(TestChannelsViewModel)
#include "tst_channelsviewmodel.moc"
