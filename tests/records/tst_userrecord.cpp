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
    void fullName_data();
    void fullName();
    void demoUser();
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
    QTest::newRow("unknown keys and another order")
        << QByteArray(R"({"role":"admin","is_online":true,"Username":"x","id":7,"extra":{"id":"x"}})")
        << defaultsForSeven();
}

void TestUserRecord::missingOrNullTakesTheDefault()
{
    QFETCH(QByteArray, json);
    QFETCH(User, expected);
    QCOMPARE(decodeJson<User>(json), expected);
}

void TestUserRecord::presentEmptyTextsStay()
{
    const User user = decodeJson<User>(R"({"id":1,"username":"","first_name":"","bio":"","last_seen_text":""})");
    QCOMPARE(user.username, QString());
    QCOMPARE(user.firstName, QString());
    QCOMPARE(user.bio, std::optional<QString>(QString()));
    QCOMPARE(user.lastSeenText, std::optional<QString>(QString()));
    // An empty text is a value, not an absence.
    User absent = user;
    absent.bio.reset();
    QVERIFY(absent != user);
    QCOMPARE(decodeJson<User>(user.toJson()), user);
}

void TestUserRecord::firstFailingKeyInTableOrder()
{
    // "bio" comes first in the text, "username" first in the table: the table decides.
    QCOMPARE(failureOf<User>(R"({"bio":5,"id":1,"username":false})")->path(), QStringLiteral("username"));
    // The identity is read before anything else.
    const auto noId = failureOf<User>(R"({"username":false})");
    QCOMPARE(noId->path(), QStringLiteral("id"));
    QCOMPARE(noId->kind(), DecodingError::Kind::Missing);
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
    User withoutPictures = demo;
    // The site's own sample pictures.
    QCOMPARE(QUrl(withoutPictures.avatarUrl.value_or(QString())).path(), QStringLiteral("/media/demo/avatar-1.png"));
    QCOMPARE(QUrl(withoutPictures.coverUrl.value_or(QString())).path(), QStringLiteral("/media/demo/cover-1.png"));
    withoutPictures.avatarUrl = withoutPictures.coverUrl = QString();
    QCOMPARE(withoutPictures.toJson(),
             QByteArray(R"({"id":1,"username":"user","first_name":"Пользователь","last_name":"","avatar_url":"",)"
                        R"("cover_url":"","status_text":"Свобода общения и музыка 🚀","is_verified":true,)"
                        R"("followers_count":0,"following_count":0,"bio":"Пользователь сети Vorlane","is_online":true})"));
    QCOMPARE(demo.fullName(), QStringLiteral("Пользователь"));
}



void TestUserRecord::readableAsGadget()
{
    // Screens read records from a QVariant through the meta-object.
    const User user = decodeJson<User>(R"({"id":7,"first_name":"Анна","last_name":"Смирнова"})");
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
