// "channels.php" of the reference service: the action decides before the channel id, the
// subscribers come as a bare list, the toggle flips the demo account's subscription and says
// how it stands, and everything it cannot take is refused with an envelope.
#include "ServiceTest.h"

#include <APIResponse.h>
#include <Channel.h>
#include <User.h>

#include <QJsonArray>
#include <QTest>

class TestServiceChannels : public ServiceTest
{
    Q_OBJECT

    template <class T> T decoded(const HttpReply &reply) { return decodeJson<T>(reply.body); }

    Channel details(qint64 id)
    {
        return decoded<Channel>(m_http->get(QStringLiteral("/api/channels.php?channel_id=%1").arg(id)));
    }

private Q_SLOTS:
    void subscribersComeAsABareListOfUsers_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<qint64>>("ids");
        QTest::newRow("action first") << "action=subscribers&channel_id=1" << QList<qint64>{1, 2, 3, 4, 5};
        QTest::newRow("channel id first") << "channel_id=2&action=subscribers" << QList<qint64>{2, 3};
        QTest::newRow("a channel without an owner") << "action=subscribers&channel_id=3" << QList<qint64>{1, 4};
    }
    void subscribersComeAsABareListOfUsers()
    {
        QFETCH(QString, query);
        QFETCH(QList<qint64>, ids);
        const HttpReply reply = m_http->get(QStringLiteral("/api/channels.php?") + query, HttpExchange::AsClient);
        QVERIFY(reply.body.startsWith('['));
        const QList<User> users = decoded<QList<User>>(reply);
        QList<qint64> got;
        for (const User &user : users)
            got << user.id;
        QCOMPARE(got, ids);
    }

    void subscriptionFlagsAreTheDemoAccounts()
    {
        const QList<Channel> catalogue = decoded<QList<Channel>>(m_http->get(QStringLiteral("/api/channels.php")));
        QCOMPARE(catalogue.size(), 3);
        QCOMPARE(catalogue.at(0).isSubscribed, true);
        QCOMPARE(catalogue.at(1).isSubscribed, false);
        QCOMPARE(details(1).isSubscribed, true);
        QCOMPARE(details(2).isSubscribed, false);
    }

    void toggleFlipsAndReportsTheNewState()
    {
        const Channel before = details(2);
        for (const bool expected : {true, false}) {
            const HttpReply reply =
                m_http->postJson(QStringLiteral("/api/channels.php"),
                                 QJsonObject{{QStringLiteral("action"), QStringLiteral("toggle_subscribe")},
                                             {QStringLiteral("channel_id"), 2}});
            const auto envelope = decoded<APIResponse<QMap<QString, bool>>>(reply);
            QVERIFY(envelope.success);
            QCOMPARE(envelope.data, (QMap<QString, bool>{{QStringLiteral("is_subscribed"), expected}}));
            const Channel now = details(2);
            QCOMPARE(now.isSubscribed, expected);
            QCOMPARE(now.subscribersCount, before.subscribersCount + (expected ? 1 : 0));
            const QList<User> subscribers =
                decoded<QList<User>>(m_http->get(QStringLiteral("/api/channels.php?action=subscribers&channel_id=2")));
            QCOMPARE(subscribers.size(), now.subscribersCount);
        }
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const QString unknownAction = QStringLiteral("Неизвестное действие");
        const QString unknownChannel = QStringLiteral("Канал не найден");
        const QString badId = QStringLiteral("Некорректный идентификатор канала");
        const QString badRequest = QStringLiteral("Некорректный запрос");
        QTest::newRow("unknown read action")
            << QByteArray("GET") << "/api/channels.php?action=posts&channel_id=1" << QByteArray() << unknownAction;
        QTest::newRow("subscribers without an id")
            << QByteArray("GET") << "/api/channels.php?action=subscribers" << QByteArray() << badId;
        QTest::newRow("subscribers of an unknown channel")
            << QByteArray("GET") << "/api/channels.php?action=subscribers&channel_id=999" << QByteArray()
            << unknownChannel;
        QTest::newRow("details of an unknown channel")
            << QByteArray("GET") << "/api/channels.php?channel_id=999" << QByteArray() << unknownChannel;
        QTest::newRow("unknown write action")
            << QByteArray("POST") << "/api/channels.php" << QByteArray(R"({"action":"subscribe","channel_id":1})")
            << unknownAction;
        QTest::newRow("no action") << QByteArray("POST") << "/api/channels.php" << QByteArray(R"({"channel_id":1})")
                                   << unknownAction;
        QTest::newRow("action of another type") << QByteArray("POST") << "/api/channels.php"
                                                << QByteArray(R"({"action":7,"channel_id":1})") << unknownAction;
        QTest::newRow("id as text") << QByteArray("POST") << "/api/channels.php"
                                    << QByteArray(R"({"action":"toggle_subscribe","channel_id":"1"})") << badId;
        QTest::newRow("fractional id") << QByteArray("POST") << "/api/channels.php"
                                       << QByteArray(R"({"action":"toggle_subscribe","channel_id":1.5})") << badId;
        QTest::newRow("id past the largest")
            << QByteArray("POST") << "/api/channels.php"
            << QByteArray(R"({"action":"toggle_subscribe","channel_id":1e300})") << badId;
        QTest::newRow("no id") << QByteArray("POST") << "/api/channels.php"
                               << QByteArray(R"({"action":"toggle_subscribe"})") << badId;
        QTest::newRow("unknown channel") << QByteArray("POST") << "/api/channels.php"
                                         << QByteArray(R"({"action":"toggle_subscribe","channel_id":999})")
                                         << unknownChannel;
        QTest::newRow("a list, not an object")
            << QByteArray("POST") << "/api/channels.php" << QByteArray("[1]") << badRequest;
        QTest::newRow("not JSON") << QByteArray("POST") << "/api/channels.php" << QByteArray("{action") << badRequest;
    }
    void refusals()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const HttpReply reply = method == "GET" ? m_http->get(path) : m_http->post(path, body);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        // Nothing was flipped by a refused write.
        QCOMPARE(details(1).isSubscribed, true);
        QCOMPARE(details(1).subscribersCount, 5);
    }
};

QTEST_MAIN(TestServiceChannels)
#include "tst_service_channels.moc"
