// The user record: lenient decoding with its own defaults, its encoding as the stored session,
// the full name, the demo user, and equality over every field.
#include "DecodingFailure.h"
#include "User.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaProperty>
#include <QTest>
#include <QUrl>

namespace {

// The lenient result for {"id": 7}.
User defaultsForSeven()
{
    return User{.id = 7,
                .username = QStringLiteral("user"),
                .firstName = QStringLiteral("Пользователь"),
                .lastName = QString(),
                .avatarUrl = std::nullopt,
                .coverUrl = std::nullopt,
                .statusText = std::nullopt,
                .isVerified = false,
                .followersCount = 0,
                .followingCount = 0,
                .bio = std::nullopt,
                .isOnline = true,
                .lastSeenText = std::nullopt};
}

} // namespace

class TestUserRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingOrNullTakesTheDefault_data();
    void missingOrNullTakesTheDefault();
    void presentEmptyTextsStay();
    void firstFailingKeyInTableOrder();
    void encodingLeavesAbsentFieldsOut();
    void encodeThenDecode_data();
    void encodeThenDecode();
    void fullName_data();
    void fullName();
    void demoUser();
    void equalityCoversEveryField_data();
    void equalityCoversEveryField();
    void readableAsGadget();
};

void TestUserRecord::missingOrNullTakesTheDefault_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<User>("expected");

    User offline = defaultsForSeven();
    offline.isOnline = false;
    QTest::newRow("only id") << QByteArray(R"({"id": 7})") << defaultsForSeven();
    QTest::newRow("is_online null is online") << QByteArray(R"({"id":7,"is_online":null})") << defaultsForSeven();
    QTest::newRow("is_online false stays false") << QByteArray(R"({"id":7,"is_online":false})") << offline;
    QTest::newRow("every key null") << QByteArray(R"({"id":7,"username":null,"first_name":null,"last_name":null,)"
                                                  R"("avatar_url":null,"cover_url":null,"status_text":null,)"
                                                  R"("is_verified":null,"followers_count":null,)"
                                                  R"("following_count":null,"bio":null,"is_online":null,)"
                                                  R"("last_seen_text":null})")
                                    << defaultsForSeven();
    QTest::newRow("unknown keys and another order")
        << QByteArray(R"({"role":"admin","is_online":true,"Username":"x","id":7,"extra":{"id":"x"}})")
        << defaultsForSeven();
}

void TestUserRecord::missingOrNullTakesTheDefault()
{
    QFETCH(QByteArray, json);
    QFETCH(User, expected);
    QCOMPARE(decodedAlike<User>(json), expected);
}

void TestUserRecord::presentEmptyTextsStay()
{
    const User user = decodedAlike<User>(R"({"id":1,"username":"","first_name":"","bio":"","last_seen_text":""})");
    QCOMPARE(user.username, QString());
    QCOMPARE(user.firstName, QString());
    QCOMPARE(user.bio, std::optional<QString>(QString()));
    QCOMPARE(user.lastSeenText, std::optional<QString>(QString()));
    // An empty text is a value, not an absence.
    User absent = user;
    absent.bio.reset();
    QVERIFY(absent != user);
    QCOMPARE(decodedAlike<User>(user.toJson()), user);
}

void TestUserRecord::firstFailingKeyInTableOrder()
{
    // "bio" comes first in the text, "username" first in the table: the table decides.
    try {
        decodedAlike<User>(R"({"bio":5,"id":1,"username":false})");
        QFAIL("decoded");
    } catch (const DecodingError &error) {
        QCOMPARE(error.path(), QStringLiteral("username"));
    }
    // The identity is read before anything else.
    try {
        decodedAlike<User>(R"({"username":false})");
        QFAIL("decoded");
    } catch (const DecodingError &error) {
        QCOMPARE(error.path(), QStringLiteral("id"));
        QCOMPARE(error.kind(), DecodingError::Kind::Missing);
    }
}

void TestUserRecord::encodingLeavesAbsentFieldsOut()
{
    // The constructor defaults: not verified, no followers or followings, offline (while a decoded
    // user without "is_online" is online), no optional texts; eight keys and no null.
    const User minimal{
        .id = 7, .username = QStringLiteral("u"), .firstName = QStringLiteral("F"), .lastName = QString()};
    QCOMPARE(minimal.toJson(), QByteArray(R"({"id":7,"username":"u","first_name":"F","last_name":"",)"
                                          R"("is_verified":false,"followers_count":0,"following_count":0,)"
                                          R"("is_online":false})"));
}

void TestUserRecord::encodeThenDecode_data()
{
    QTest::addColumn<User>("user");
    QTest::newRow("constructor defaults, offline")
        << User{.id = 1, .username = QStringLiteral("a"), .firstName = QStringLiteral("b"), .lastName = QString()};
    QTest::newRow("demo user") << User::demoUser();
    QTest::newRow("texts that need escaping") << User{.id = -5,
                                                      .username = QStringLiteral("\"quoted\" \\ back"),
                                                      .firstName = QStringLiteral("Имя\n\tс переводом"),
                                                      .lastName = QString(QChar(1)),
                                                      .avatarUrl = QString(),
                                                      .coverUrl = std::nullopt,
                                                      .statusText = QStringLiteral("🚀"),
                                                      .isVerified = true,
                                                      .followersCount = std::numeric_limits<qint64>::max(),
                                                      .followingCount = std::numeric_limits<qint64>::min(),
                                                      .bio = QStringLiteral("</script>"),
                                                      .isOnline = false,
                                                      .lastSeenText = QString()};
}

void TestUserRecord::encodeThenDecode()
{
    QFETCH(User, user);
    QCOMPARE(decodedAlike<User>(user.toJson()), user);
    QCOMPARE(User::fromJson(QJsonDocument::fromJson(user.toJson()).object()), user);
}

void TestUserRecord::fullName_data()
{
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("lastName");
    QTest::addColumn<QString>("fullName");

    QTest::newRow("both") << QStringLiteral("Анна") << QStringLiteral("Смирнова") << QStringLiteral("Анна Смирнова");
    QTest::newRow("no last name") << QStringLiteral("Анна") << QString() << QStringLiteral("Анна");
    QTest::newRow("no first name") << QString() << QStringLiteral("Смирнова") << QStringLiteral("Смирнова");
    QTest::newRow("neither") << QString() << QString() << QString();
    QTest::newRow("spaces only") << QStringLiteral("   ") << QString() << QString();
    QTest::newRow("inner spaces stay") << QStringLiteral("Анна ") << QStringLiteral(" Смирнова")
                                       << QStringLiteral("Анна   Смирнова");
    QTest::newRow("tabs and line ends") << QStringLiteral("\t\nАнна") << QStringLiteral("Смирнова\r\n\v\f")
                                        << QStringLiteral("Анна Смирнова");
    QTest::newRow("Unicode spaces and separators") << QString(QChar(0x00a0) + QStringLiteral("Анна") + QChar(0x2028))
                                                   << QStringView(u"\x0085\x3000").toString() << QStringLiteral("Анна");
    QTest::newRow("paragraph separator and thin space")
        << QStringView(u"\x2029\x2009Анна").toString() << QString() << QStringLiteral("Анна");
    // Format characters are not white space: they stay.
    QTest::newRow("zero-width space and byte-order mark stay")
        << QStringView(u"\x200bАнна").toString() << QStringView(u"\xfeff").toString()
        << QStringView(u"\x200bАнна \xfeff").toString();
}

void TestUserRecord::fullName()
{
    QFETCH(QString, firstName);
    QFETCH(QString, lastName);
    QFETCH(QString, fullName);
    const User user{.id = 1, .username = QStringLiteral("u"), .firstName = firstName, .lastName = lastName};
    QCOMPARE(user.fullName(), fullName);
}

void TestUserRecord::demoUser()
{
    const User &demo = User::demoUser();
    QCOMPARE(&demo, &User::demoUser());
    QCOMPARE(demo.id, 1);
    QCOMPARE(demo.username, QStringLiteral("user"));
    QCOMPARE(demo.firstName, QStringLiteral("Пользователь"));
    QCOMPARE(demo.lastName, QString());
    // The site's own sample pictures.
    QCOMPARE(QUrl(demo.avatarUrl.value_or(QString())).path(), QStringLiteral("/media/demo/avatar-1.png"));
    QCOMPARE(QUrl(demo.coverUrl.value_or(QString())).path(), QStringLiteral("/media/demo/cover-1.png"));
    QCOMPARE(demo.statusText, std::optional<QString>(QStringLiteral("Свобода общения и музыка 🚀")));
    QVERIFY(demo.isVerified);
    QCOMPARE(demo.followersCount, 0);
    QCOMPARE(demo.followingCount, 0);
    QCOMPARE(demo.bio, std::optional<QString>(QStringLiteral("Пользователь сети Vorlane")));
    QVERIFY(demo.isOnline);
    QVERIFY(!demo.lastSeenText);
    QCOMPARE(demo.fullName(), QStringLiteral("Пользователь"));
}

void TestUserRecord::equalityCoversEveryField_data()
{
    QTest::addColumn<User>("changed");
    const User base = decodedAlike<User>(R"({"id":7,"avatar_url":"a","bio":"b"})");
    const auto with = [&](auto change) {
        User user = base;
        change(user);
        return user;
    };
    QTest::newRow("id") << with([](User &u) { u.id = 8; });
    QTest::newRow("username") << with([](User &u) { u.username = QStringLiteral("x"); });
    QTest::newRow("firstName") << with([](User &u) { u.firstName = QStringLiteral("x"); });
    QTest::newRow("lastName") << with([](User &u) { u.lastName = QStringLiteral("x"); });
    QTest::newRow("avatarUrl absent") << with([](User &u) { u.avatarUrl.reset(); });
    QTest::newRow("coverUrl") << with([](User &u) { u.coverUrl = QString(); });
    QTest::newRow("statusText") << with([](User &u) { u.statusText = QStringLiteral("s"); });
    QTest::newRow("isVerified") << with([](User &u) { u.isVerified = true; });
    QTest::newRow("followersCount") << with([](User &u) { u.followersCount = 1; });
    QTest::newRow("followingCount") << with([](User &u) { u.followingCount = 1; });
    QTest::newRow("bio") << with([](User &u) { u.bio = QStringLiteral("c"); });
    QTest::newRow("isOnline") << with([](User &u) { u.isOnline = false; });
    QTest::newRow("lastSeenText") << with([](User &u) { u.lastSeenText = QString(); });
}

void TestUserRecord::equalityCoversEveryField()
{
    QFETCH(User, changed);
    const User base = decodedAlike<User>(R"({"id":7,"avatar_url":"a","bio":"b"})");
    QVERIFY(changed != base);
    QVERIFY(qHash(changed) != qHash(base)); // not required in general, but a hash that skips a field fails here
    User copy = changed;
    QCOMPARE(copy, changed);
    QCOMPARE(qHash(copy, 42), qHash(changed, 42));
}

void TestUserRecord::readableAsGadget()
{
    // Screens read records from a QVariant through the meta-object.
    const User user = decodedAlike<User>(R"({"id":7,"first_name":"Анна","last_name":"Смирнова"})");
    const QVariant variant = QVariant::fromValue(user);
    const QMetaObject &meta = User::staticMetaObject;
    const auto read = [&](const char *name) {
        return meta.property(meta.indexOfProperty(name)).readOnGadget(variant.constData());
    };
    QCOMPARE(read("fullName").toString(), QStringLiteral("Анна Смирнова"));
    QCOMPARE(read("id").toLongLong(), 7);
    QCOMPARE(read("isOnline").toBool(), true);
}

QTEST_GUILESS_MAIN(TestUserRecord)
#include "tst_userrecord.moc"
