// "auth.php" of the real service: sign-in by user name or e-mail, registration, refusals,
// and text from the sign-in fields treated as data, never as SQL.
#include "ServiceTest.h"

#include <QJsonDocument>
#include <QTest>

namespace {
QJsonObject login(const QString &name, const QString &password)
{
    return {{"action", "login"}, {"email", name}, {"username", name}, {"password", password}};
}

QJsonObject registration(const QString &username, const QString &email, const QString &password,
                         const QString &firstName, const QString &lastName)
{
    return {{"action", "register"}, {"username", username}, {"email", email},
            {"password", password}, {"first_name", firstName}, {"last_name", lastName}};
}
}

class tst_ServiceAuth : public ServiceTest
{
    Q_OBJECT

    const QString Blocked = QStringLiteral("Слишком много неудачных попыток входа. Попробуйте через минуту");

    HttpReply auth(const QJsonObject &body) { return m_http->postJson("/api/auth.php", body); }

private Q_SLOTS:
    void signsInByUserNameOrEmail_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("user name") << "demo";
        QTest::newRow("user name, other letter case") << "DeMo";
        QTest::newRow("e-mail") << "demo@vorlane.local";
        QTest::newRow("e-mail, other letter case") << "Demo@Vorlane.LOCAL";
    }
    void signsInByUserNameOrEmail()
    {
        QFETCH(QString, name);
        const HttpReply reply = auth(login(name, ServiceProcess::demoPassword()));
        QCOMPARE(reply.status, 200);
        const QJsonObject envelope = reply.object();
        QCOMPARE(envelope.value("success"), QJsonValue(true));
        const QJsonObject user = envelope.value("data").toObject();
        QCOMPARE(user.value("username").toString(), ServiceProcess::demoUsername());
        QVERIFY(user.value("avatar_url").toString().startsWith(m_service.siteUrl() + "/media/"));
    }

    // Every refusal is an envelope without data that stores nothing: the refused account cannot
    // sign in (after five tries, the name is closed). Later cases show that no injection did harm.
    void refuses_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        const auto json = [](const QJsonObject &body) { return QJsonDocument(body).toJson(QJsonDocument::Compact); };
        const auto signUp = [&json](const QString &username, const QString &email, const QString &password) {
            return json(registration(username, email, password, "", ""));
        };
        const QString wrong = "Неверный логин или пароль";
        QTest::newRow("wrong password") << json(login("demo", "demo12346")) << wrong;
        QTest::newRow("password in other letter case") << json(login("demo", "DEMO12345")) << wrong;
        QTest::newRow("unknown user") << json(login("nobody", "demo12345")) << wrong;
        QTest::newRow("SQL: always true") << json(login("' OR 1=1 --", "x")) << wrong;
        QTest::newRow("SQL: comment out the password check") << json(login("demo' --", "x")) << wrong;
        QTest::newRow("SQL: quoted always true") << json(login("demo' OR '1'='1", "x")) << wrong;
        QTest::newRow("SQL: second statement") << json(login("\"; DROP TABLE users; --", "x")) << wrong;
        QTest::newRow("SQL in the password") << json(login("demo", "' OR '1'='1")) << wrong;
        const QString unfilled = "Заполните логин и пароль";
        QTest::newRow("empty login") << json(login("", "demo12345")) << unfilled;
        QTest::newRow("empty password") << json(login("demo", "")) << unfilled;
        QTest::newRow("password not a text")
            << json({{"action", "login"}, {"username", "demo"}, {"password", 12345}}) << unfilled;

        const QString taken = "Пользователь с таким логином уже существует";
        QTest::newRow("taken user name") << signUp("demo", "new@example.org", "p") << taken;
        QTest::newRow("taken user name, other letter case") << signUp("DEMO", "new@example.org", "p") << taken;
        // Names that look like a taken one are that one; letters of two alphabets or characters
        // that show nothing are refused whoever holds the name.
        QTest::newRow("look-alike: fullwidth letters")
            << signUp("\uFF24\uFF45\uFF4D\uFF4F", "new@example.org", "p") << taken;
        QTest::newRow("look-alike: combining accent") << signUp("demo\u0301", "new@example.org", "p") << taken;
        QTest::newRow("look-alike: accented letter") << signUp("d\u00E9mo", "new@example.org", "p") << taken;
        const QString invisible = "Логин не может содержать невидимые и управляющие символы";
        QTest::newRow("zero-width space") << signUp("de\u200Bmo", "new@example.org", "p") << invisible;
        QTest::newRow("right-to-left override") << signUp("\u202Eomed", "new@example.org", "p") << invisible;
        QTest::newRow("soft hyphen") << signUp("de\u00ADmo", "new@example.org", "p") << invisible;
        QTest::newRow("Cyrillic «е» among Latin letters")
            << signUp("d\u0435mo", "new@example.org", "p") << "Логин не может смешивать буквы разных алфавитов";
        QTest::newRow("taken e-mail") << signUp("newcomer", "demo@vorlane.local", "p")
                                      << "Пользователь с такой почтой уже существует";
        QTest::newRow("empty user name") << signUp("", "new@example.org", "p") << "Введите логин и пароль";
        QTest::newRow("password of spaces") << signUp("newcomer", "new@example.org", "   ") << "Введите логин и пароль";
        const QString badName = "Логин может содержать до 64 символов без пробелов, «@», «/» и «\\»";
        QTest::newRow("space in user name") << signUp("new comer", "new@example.org", "p") << badName;
        QTest::newRow("@ in user name") << signUp("new@comer", "new@example.org", "p") << badName;
        QTest::newRow("slash in user name") << signUp("../newcomer", "new@example.org", "p") << badName;
        QTest::newRow("user name too long") << signUp(QString(65, 'a'), "new@example.org", "p") << badName;
        const QString badEmail = "Некорректный адрес электронной почты";
        QTest::newRow("e-mail without @") << signUp("newcomer", "newcomer", "p") << badEmail;
        QTest::newRow("no e-mail") << json({{"action", "register"}, {"username", "newcomer"}, {"password", "p"}})
                                   << badEmail;

        QTest::newRow("not JSON") << QByteArray("action=login&username=demo") << "Некорректный запрос";
        QTest::newRow("JSON array") << QByteArray("[\"login\"]") << "Некорректный запрос";
        QTest::newRow("empty body") << QByteArray() << "Некорректный запрос";
        QTest::newRow("no action") << QByteArray("{\"username\":\"demo\",\"password\":\"demo12345\"}")
                                   << "Неизвестное действие";
        QTest::newRow("unknown action") << QByteArray("{\"action\":\"logout\"}") << "Неизвестное действие";
        QTest::newRow("action not a text") << QByteArray("{\"action\":1}") << "Неизвестное действие";
    }
    void refuses()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const HttpReply reply = m_http->post("/api/auth.php", body);
        QVERIFY2(reply.isRefusal(message), reply.body.constData());
        QVERIFY(!reply.object().contains("data"));
        for (const char *name : {"newcomer", "new@example.org"}) {
            const HttpReply signIn = auth(login(name, "p"));
            QVERIFY2(signIn.isRefusal("Неверный логин или пароль") || signIn.isRefusal(Blocked),
                     signIn.body.constData());
        }
    }

    // What the client sends after its own fallbacks (e-mail made from the user name, first name
    // taken from the user name, an empty last name) is stored and answered as received.
    void registers_data()
    {
        QTest::addColumn<QJsonObject>("body");
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("lastName");
        QTest::newRow("every field") << registration("katya", "katya@example.org", "secret1", "Катя", "Орлова")
                                     << "Катя" << "Орлова";
        QTest::newRow("client's e-mail and first-name fallbacks")
            << registration("petr", "petr@vorlane.app", "secret2", "petr", "") << "petr" << "";
        QTest::newRow("first name left out by another client")
            << QJsonObject{{"action", "register"}, {"username", "lev"}, {"email", "lev@example.org"}, {"password", "p"}}
            << "lev" << "";
        QTest::newRow("Cyrillic user name") << registration("дмитрий", "dima@example.org", "p", "Дима", "") << "Дима"
                                            << "";
        QTest::newRow("quotes are data") << registration("bobby'--", "bobby@example.org", "p'; --", "'); DROP TABLE users; --", "O'Neil")
                                         << "'); DROP TABLE users; --" << "O'Neil";
    }
    void registers()
    {
        QFETCH(QJsonObject, body);
        QFETCH(QString, firstName);
        QFETCH(QString, lastName);
        const HttpReply reply = auth(body);
        QCOMPARE(reply.status, 200);
        const QJsonObject envelope = reply.object();
        QVERIFY2(envelope.value("success") == QJsonValue(true), reply.body.constData());
        const QJsonObject user = envelope.value("data").toObject();
        QCOMPARE(user.value("username").toString(), body.value("username").toString());
        QCOMPARE(user.value("first_name").toString(), firstName);
        QCOMPARE(user.value("last_name").toString(), lastName);
        QVERIFY(user.value("id").toInteger() > 1);

        // The new account signs in by either name, and its profile is the same record.
        const QString password = body.value("password").toString();
        for (const QString &name : {body.value("username").toString(), body.value("email").toString()}) {
            const HttpReply again = auth(login(name, password));
            QCOMPARE(again.object().value("data").toObject(), user);
        }
        const HttpReply profile = m_http->get(QStringLiteral("/api/profile.php?user_id=%1").arg(user.value("id").toInteger()));
        QCOMPARE(profile.object(), user);
    }

    // Five failures close the account, whichever of its name and e-mail they were typed under; a
    // name that is no account's keeps a count of its own, letter case aside.
    void closesAnAccountAfterFiveFailures()
    {
        for (const char *typed : {"ivan", "ivan@vorlane.local", "IVAN", "Ivan@Vorlane.local", "ivan"})
            QVERIFY(auth(login(typed, "ivan1234")).isRefusal("Неверный логин или пароль"));
        for (const char *typed : {"ghost", "Ghost", "GHOST", "gHost", "ghosT"})
            QVERIFY(auth(login(typed, "ghost1234")).isRefusal("Неверный логин или пароль"));
        for (const char *name : {"ivan", "ivan@vorlane.local", "ghost"}) {
            const HttpReply reply = auth(login(name, "ivan12345"));
            QVERIFY2(reply.isRefusal(Blocked), reply.body.constData());
            QVERIFY(!reply.object().contains("data"));
        }
        QCOMPARE(auth(login("maria", "maria12345")).object().value("success"), QJsonValue(true));
    }

    void countsFailuresAgainAfterASignIn()
    {
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < 4; ++i)
                QVERIFY(auth(login("sergey", "wrong")).isRefusal("Неверный логин или пароль"));
            QCOMPARE(auth(login("sergey", "sergey12345")).object().value("success"), QJsonValue(true));
        }
    }

};

QTEST_GUILESS_MAIN(tst_ServiceAuth)
#include "tst_service_auth.moc"
