// "profile.php" updates of the real service: what a save changes, what it leaves, and the
// refusals that change nothing. Every case reads the record back through the GET.
#include "ServiceTest.h"

#include <APIResponse.h>
#include <User.h>

#include <QJsonDocument>
#include <QTest>

namespace {
QJsonObject update(const QJsonValue &userId, const QString &avatar, const QString &cover, const QString &status,
                   const QString &bio)
{
    return {{"user_id", userId}, {"avatar_url", avatar}, {"cover_url", cover}, {"status_text", status}, {"bio", bio}};
}
} // namespace

class tst_ServiceProfile : public ServiceTest
{
    Q_OBJECT

    User profile(qint64 id)
    {
        const HttpReply reply = m_http->get(QStringLiteral("/api/profile.php?user_id=%1").arg(id));
        return decodeJson<User>(reply.body);
    }

private Q_SLOTS:
    void savesTheNonEmptyTexts_data()
    {
        QTest::addColumn<qint64>("id");
        QTest::addColumn<QJsonObject>("body");
        QTest::addColumn<QStringList>("changed"); // avatar, cover, status, bio; empty: unchanged

        QTest::newRow("all four") << qint64(2)
                                  << update(2, "http://127.0.0.1:1/a.jpg", "http://127.0.0.1:1/c.jpg", "Новый статус",
                                            "Новое «био»")
                                  << QStringList{"http://127.0.0.1:1/a.jpg", "http://127.0.0.1:1/c.jpg", "Новый статус",
                                                 "Новое «био»"};
        QTest::newRow("empty texts keep their fields")
            << qint64(3) << update(3, "", "http://127.0.0.1:1/c3.jpg", "", "")
            << QStringList{"", "http://127.0.0.1:1/c3.jpg", "", ""};
        QTest::newRow("four empty texts") << qint64(4) << update(4, "", "", "", "") << QStringList{"", "", "", ""};
        QTest::newRow("absent texts keep their fields")
            << qint64(5) << QJsonObject{{"user_id", 5}, {"bio", "Только био"}} << QStringList{"", "", "", "Только био"};
        QTest::newRow("text stays data, not SQL") << qint64(6) << update(6, "", "", "x', is_verified = 0 --", "")
                                                  << QStringList{"", "", "x', is_verified = 0 --", ""};
    }
    void savesTheNonEmptyTexts()
    {
        QFETCH(qint64, id);
        QFETCH(QJsonObject, body);
        QFETCH(QStringList, changed);
        const User before = profile(id);

        const HttpReply reply = m_http->postJson("/api/profile.php", body);
        QCOMPARE(reply.status, 200);
        // The client reads the reply as an envelope around a map of texts; a user record in
        // "data" would read as a failed save.
        const auto envelope = decodeJson<APIResponse<QMap<QString, QString>>>(reply.body);
        QVERIFY(envelope.success);

        User expected = before;
        std::optional<QString> *fields[] = {&expected.avatarUrl, &expected.coverUrl, &expected.statusText,
                                            &expected.bio};
        for (int i = 0; i < 4; ++i) {
            if (!changed[i].isEmpty())
                *fields[i] = changed[i];
        }
        QCOMPARE(profile(id), expected);
    }

    void refusesAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");

        const auto json = [](const QJsonObject &object) { return QJsonDocument(object).toJson(); };
        QTest::newRow("unknown user") << json(update(987654, "x", "x", "x", "x")) << "Пользователь не найден";
        QTest::newRow("user id as text") << json(update("1", "x", "x", "x", "x")) << "Не указан пользователь";
        QTest::newRow("user id not whole") << json(update(1.5, "x", "x", "x", "x")) << "Не указан пользователь";
        QTest::newRow("no user id") << json({{"bio", "x"}}) << "Не указан пользователь";
        QJsonObject numberText = update(1, "http://127.0.0.1:1/a.jpg", "", "", "");
        numberText["bio"] = 5;
        QTest::newRow("a text that is a number") << json(numberText) << "Некорректный запрос";
        QTest::newRow("a text that is null")
            << json({{"user_id", 1}, {"avatar_url", "x"}, {"bio", QJsonValue::Null}}) << "Некорректный запрос";
        QTest::newRow("an overlong text") << json(update(1, QString(4097, 'a'), "", "", "")) << "Слишком длинный текст";
        QTest::newRow("not JSON") << QByteArray("user_id=1&bio=x") << "Некорректный запрос";
        QTest::newRow("a list") << QByteArray("[1]") << "Некорректный запрос";
    }
    void refusesAndChangesNothing()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const User before = profile(1);
        const HttpReply reply = m_http->post("/api/profile.php", body);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QCOMPARE(profile(1), before);
    }
};

QTEST_MAIN(tst_ServiceProfile)
#include "tst_service_profile.moc"
