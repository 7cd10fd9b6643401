// "channels.php" of the reference service: the action decides before the channel id, the
// subscribers come as a bare list, the toggle flips the demo account's subscription and says
// how it stands, and everything it cannot take is refused with an envelope and changes nothing.
// What the writes store is read back through the client's model in tst_channelwrites.
#include "ServiceTest.h"

#include <APIResponse.h>
#include <Channel.h>
#include <User.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestServiceChannels : public ServiceTest
{
    Q_OBJECT

    template <class T> T decoded(const HttpReply &reply) { return decodeJson<T>(reply.body); }

    Channel details(qint64 id)
    {
        return decoded<Channel>(m_http->get(QStringLiteral("/api/channels.php?channel_id=%1").arg(id)));
    }
    QList<Channel> catalogue() { return decoded<QList<Channel>>(m_http->get(QStringLiteral("/api/channels.php"))); }

    // A write's body: a complete one of its action, with `key` set to `value` or, when undefined, left out.
    static QByteArray write(const QString &action, const QString &key = {}, const QJsonValue &value = {})
    {
        QJsonObject body{{"action", action}, {"channel_id", 1}};
        if (action == QLatin1String("create"))
            body = {{"action", action}, {"name", "Канал"}, {"description", ""}, {"category", "Паблик"},
                    {"avatar_url", ""}, {"cover_url", ""}, {"user_id", 1}};
        else if (action == QLatin1String("edit"))
            body = {{"action", action},     {"channel_id", 1},  {"name", "Имя"},  {"description", ""},
                    {"category", "Паблик"}, {"avatar_url", ""}, {"cover_url", ""}};
        else if (action == QLatin1String("create_post"))
            body = {{"action", action}, {"channel_id", 1}, {"text", "x"}, {"image_url", ""}};
        if (value.isUndefined())
            body.remove(key);
        else if (!key.isEmpty())
            body.insert(key, value);
        return QJsonDocument(body).toJson(QJsonDocument::Compact);
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
        const QString noName = QStringLiteral("Введите название канала");
        const auto get = [](const char *name, const char *query, const QString &message) {
            QTest::newRow(name) << QByteArray("GET") << QStringLiteral("/api/channels.php?") + QLatin1String(query)
                                << QByteArray() << message;
        };
        const auto post = [](const char *name, const QByteArray &body, const QString &message) {
            QTest::newRow(name) << QByteArray("POST") << QStringLiteral("/api/channels.php") << body << message;
        };
        const QJsonValue missing = QJsonValue::Undefined;
        const QString toggle = QStringLiteral("toggle_subscribe");

        get("unknown read action", "action=posts&channel_id=1", unknownAction);
        get("subscribers without an id", "action=subscribers", badId);
        get("subscribers of an unknown channel", "action=subscribers&channel_id=999", unknownChannel);
        get("details of an unknown channel", "channel_id=999", unknownChannel);
        post("unknown write action", write("subscribe"), unknownAction);
        post("no action", R"({"channel_id":1})", unknownAction);
        post("action of another type", R"({"action":7,"channel_id":1})", unknownAction);
        post("toggle: id as text", write(toggle, "channel_id", "1"), badId);
        post("toggle: fractional id", write(toggle, "channel_id", 1.5), badId);
        post("toggle: id past the largest", R"({"action":"toggle_subscribe","channel_id":1e300})", badId);
        post("toggle: no id", write(toggle, "channel_id", missing), badId);
        post("toggle: unknown channel", write(toggle, "channel_id", 999), unknownChannel);
        post("a list, not an object", "[1]", badRequest);
        post("not JSON", "{action", badRequest);
        post("create: no name", write("create", "name", missing), badRequest);
        post("create: name a number", write("create", "name", 5), badRequest);
        post("create: empty name", write("create", "name", ""), noName);
        post("create: no cover", write("create", "cover_url", missing), badRequest);
        post("create: avatar null", write("create", "avatar_url", QJsonValue::Null), badRequest);
        post("create: owner as text", write("create", "user_id", "1"), badRequest);
        post("create: owner not whole", write("create", "user_id", 1.5), badRequest);
        post("create: unknown owner", write("create", "user_id", 9999), QStringLiteral("Пользователь не найден"));
        post("edit: no channel", write("edit", "channel_id", missing), badRequest);
        post("edit: channel as text", write("edit", "channel_id", "1"), badRequest);
        post("edit: unknown channel", write("edit", "channel_id", 777), unknownChannel);
        post("edit: empty name", write("edit", "name", ""), noName);
        post("edit: no category", write("edit", "category", missing), badRequest);
        post("post: unknown channel", write("create_post", "channel_id", 777), unknownChannel);
        post("post: id past exact numbers", write("create_post", "channel_id", 1.2e17), badRequest);
        post("post: no text", write("create_post", "text", missing), badRequest);
        post("post: picture a number", write("create_post", "image_url", 3), badRequest);
        post("unknown action with a post's body", write("create_post", "action", "delete"), unknownAction);
    }
    void refusals()
    {
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const QList<Channel> before = catalogue();
        const Channel first = details(1);
        const HttpReply reply = method == "GET" ? m_http->get(path) : m_http->post(path, body);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QCOMPARE(catalogue(), before);
        QCOMPARE(details(1), first);
    }
};

QTEST_MAIN(TestServiceChannels)
#include "tst_service_channels.moc"
