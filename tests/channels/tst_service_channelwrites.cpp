// "channels.php" writes of the reference service: what cannot be taken is refused with an
// envelope and changes nothing. What the writes store is read back through the client's model in
// tst_channelwrites.
#include "ServiceTest.h"

#include <APIResponse.h>
#include <Channel.h>

#include <QJsonObject>
#include <QTest>

class TestServiceChannelWrites : public ServiceTest
{
    Q_OBJECT

    QList<Channel> catalogue()
    {
        return decodeJson<QList<Channel>>(m_http->get(QStringLiteral("/api/channels.php")).body);
    }
    Channel details(qint64 id)
    {
        return decodeJson<Channel>(m_http->get(QStringLiteral("/api/channels.php?channel_id=%1").arg(id)).body);
    }
    HttpReply post(const QJsonObject &body) { return m_http->postJson(QStringLiteral("/api/channels.php"), body); }

    static QJsonObject creation()
    {
        return {{"action", "create"}, {"name", "Канал"}, {"description", ""}, {"category", "Паблик"},
                {"avatar_url", ""},   {"cover_url", ""}, {"user_id", 1}};
    }
    static QJsonObject edit()
    {
        return {{"action", "edit"},     {"channel_id", 1},  {"name", "Имя"},  {"description", ""},
                {"category", "Паблик"}, {"avatar_url", ""}, {"cover_url", ""}};
    }
    static QJsonObject newPost()
    {
        return {{"action", "create_post"}, {"channel_id", 1}, {"text", "x"}, {"image_url", ""}};
    }
    static QJsonObject with(QJsonObject body, const QString &key, const QJsonValue &value)
    {
        if (value.isUndefined())
            body.remove(key);
        else
            body.insert(key, value);
        return body;
    }

private Q_SLOTS:
    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QJsonObject>("body");
        QTest::addColumn<QString>("message");
        const QString incomplete = QStringLiteral("Некорректный запрос");
        const QString noName = QStringLiteral("Введите название канала");
        const QString noChannel = QStringLiteral("Канал не найден");
        const QJsonValue missing = QJsonValue::Undefined;
        QTest::newRow("create: no name") << with(creation(), "name", missing) << incomplete;
        QTest::newRow("create: name a number") << with(creation(), "name", 5) << incomplete;
        QTest::newRow("create: empty name") << with(creation(), "name", "") << noName;
        QTest::newRow("create: no cover") << with(creation(), "cover_url", missing) << incomplete;
        QTest::newRow("create: avatar null") << with(creation(), "avatar_url", QJsonValue::Null) << incomplete;
        QTest::newRow("create: owner as text") << with(creation(), "user_id", "1") << incomplete;
        QTest::newRow("create: owner not whole") << with(creation(), "user_id", 1.5) << incomplete;
        QTest::newRow("create: unknown owner")
            << with(creation(), "user_id", 9999) << QStringLiteral("Пользователь не найден");
        QTest::newRow("edit: no channel") << with(edit(), "channel_id", missing) << incomplete;
        QTest::newRow("edit: channel as text") << with(edit(), "channel_id", "1") << incomplete;
        QTest::newRow("edit: unknown channel") << with(edit(), "channel_id", 777) << noChannel;
        QTest::newRow("edit: empty name") << with(edit(), "name", "") << noName;
        QTest::newRow("edit: no category") << with(edit(), "category", missing) << incomplete;
        QTest::newRow("post: unknown channel") << with(newPost(), "channel_id", 777) << noChannel;
        QTest::newRow("post: id past exact numbers") << with(newPost(), "channel_id", 1.2e17) << incomplete;
        QTest::newRow("post: no text") << with(newPost(), "text", missing) << incomplete;
        QTest::newRow("post: picture a number") << with(newPost(), "image_url", 3) << incomplete;
        QTest::newRow("unknown action") << with(newPost(), "action", "delete")
                                        << QStringLiteral("Неизвестное действие");
    }

    void refusalsChangeNothing()
    {
        QFETCH(QJsonObject, body);
        QFETCH(QString, message);
        const QList<Channel> before = catalogue();
        const Channel first = details(1);
        const HttpReply reply = post(body);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QCOMPARE(catalogue(), before);
        QCOMPARE(details(1), first);
    }
};

QTEST_MAIN(TestServiceChannelWrites)
#include "tst_service_channelwrites.moc"
