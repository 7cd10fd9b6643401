#include "APIResponse.h"
#include "User.h"

#include <QTest>

class TestUserCoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lenientDefaults();
    void encodeThenDecode();
    void envelope();
};

void TestUserCoding::lenientDefaults()
{
    const User user = decodeJson<User>(R"({"id": 7})");
    QCOMPARE(user.id, 7);
    QCOMPARE(user.username, QStringLiteral("user"));
    QCOMPARE(user.fullName(), QStringLiteral("Пользователь"));
    QVERIFY(user.isOnline);
    QVERIFY(!user.avatarUrl);
}

void TestUserCoding::encodeThenDecode()
{
    const User user{.id = 3, .username = QStringLiteral("a\"b"), .firstName = QStringLiteral("Анна"),
                    .lastName = QStringLiteral("\n")};
    QCOMPARE(decodeJson<User>(user.toJson()), user);
    QVERIFY(!decodeJson<User>(user.toJson()).isOnline);
}

void TestUserCoding::envelope()
{
    const auto response = decodeJson<APIResponse<User>>(R"({"success": true, "data": {"id": 2}})");
    QVERIFY(response.success);
    QCOMPARE(response.data->id, 2);
    try {
        decodeJson<APIResponse<User>>(R"({"success": true, "data": {"id": 2, "is_online": 1}})");
        QFAIL("a flag given as 1 was accepted");
    } catch (const DecodingError &error) {
        QCOMPARE(error.path(), QStringLiteral("data.is_online"));
        QCOMPARE(error.kind(), DecodingError::Kind::WrongType);
    }
}

QTEST_GUILESS_MAIN(TestUserCoding)
#include "tst_usercoding.moc"
