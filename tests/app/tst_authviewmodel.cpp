#include "AuthViewModel.h"
#include "JsonCoding.h"
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "ServiceProcess.h"
#include "TaskOutcome.h"

#include <QJsonDocument>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

QSettings settings()
{
    return QSettings(QStringLiteral("Vorlane"), QStringLiteral("Vorlane"));
}

QVariant storedEntry()
{
    return settings().value(QLatin1String(AuthViewModel::sessionKey));
}

std::optional<User> storedUser()
{
    const QVariant entry = storedEntry();
    if (entry.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return decodeJson<User>(entry.toByteArray());
}

bool login(AuthViewModel &model, const QString &name, const QString &password)
{
    return runToEnd(model.login(name, password)).value.value_or(false);
}

bool registerUser(AuthViewModel &model, const QString &name, const QString &email, const QString &password,
                  const QString &first = {}, const QString &last = {})
{
    return runToEnd(model.registerUser(name, email, password, first, last)).value.value_or(false);
}

// Every published write of a model, in order, as "property=value".
class WriteLog
{
public:
    explicit WriteLog(AuthViewModel &model)
    {
        QObject::connect(&model, &AuthViewModel::isLoadingChanged, &model, [this, &model] {
            writes << QStringLiteral("isLoading=%1").arg(model.isLoading() ? "true" : "false");
        });
        QObject::connect(&model, &AuthViewModel::errorMessageChanged, &model, [this, &model] {
            writes << QStringLiteral("errorMessage=") + model.errorMessage().value_or(QStringLiteral("none"));
        });
        QObject::connect(&model, &AuthViewModel::currentUserChanged, &model, [this, &model] {
            // The session is stored before the user is published.
            const auto stored = storedUser();
            writes << QStringLiteral("currentUser=%1 stored=%2")
                          .arg(model.currentUser() ? model.currentUser()->username : QStringLiteral("none"),
                               stored ? stored->username : QStringLiteral("none"));
        });
        QObject::connect(&model, &AuthViewModel::isAuthenticatedChanged, &model, [this, &model] {
            writes << QStringLiteral("isAuthenticated=%1").arg(model.isAuthenticated() ? "true" : "false");
        });
    }

    QStringList writes;
};

} // namespace

class AuthViewModelTest : public QObject
{
    Q_OBJECT

private:
    ServiceProcess service;
    NetworkManager &network = NetworkManager::shared();

    void useService() { network.setBaseURL(service.baseUrl()); }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY2(service.start(), qPrintable(service.errors()));
    }

    void init()
    {
        settings().clear();
        useService();
        network.setDeadlineOverride({});
    }

    // The screen's press while a request is under way starts nothing: one request, one busy cycle.
    // After a refusal the next press sends again.
    void aPressWhileARequestRunsStartsNothing_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::newRow("sign-in") << false;
        QTest::newRow("registration") << true;
    }
    void aPressWhileARequestRunsStartsNothing()
    {
        QFETCH(bool, registration);
        ScriptedResponder responder;
        responder.replyNothing();
        network.setBaseURL(responder.baseUrl());
        AuthViewModel model;
        QSignalSpy busy(&model, &AuthViewModel::isLoadingChanged);
        const auto press = [&] {
            if (registration)
                model.startRegistration(QStringLiteral("once"), {}, QStringLiteral("secret1"), {}, {});
            else
                model.startLogin(QStringLiteral("once"), QStringLiteral("secret1"));
        };
        press();
        press();
        QVERIFY(responder.waitForRequests(1));
        QVERIFY(responder.answerWaiting(200, R"({"success":false,"message":"нет"})"));
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(busy.count(), 2);

        responder.reply(200, R"({"success":false,"message":"нет"})");
        press();
        QVERIFY(responder.waitForRequests(2));
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(busy.count(), 4);
        QCOMPARE(responder.requests().size(), 2);
    }

    void registrationFallsBackAndSignsIn()
    {
        AuthViewModel model;
        QVERIFY(registerUser(model, QStringLiteral(" newbie "), QStringLiteral("  "), QStringLiteral(" пароль1 "),
                             QString(), QStringLiteral("  ")));
        QVERIFY(model.isAuthenticated());
        QCOMPARE(model.currentUser()->username, QStringLiteral("newbie"));
        QCOMPARE(model.currentUser()->firstName, QStringLiteral("newbie"));
        QCOMPARE(model.currentUser()->lastName, QString());
        QCOMPARE(storedUser(), model.currentUser());

        // The service got the fallback e-mail and the trimmed password: both sign in.
        settings().clear();
        AuthViewModel again;
        QVERIFY(login(again, QStringLiteral("newbie@") + QLatin1String(AuthViewModel::fallbackMailDomain),
                      QStringLiteral("пароль1")));
        QCOMPARE(again.currentUser()->id, model.currentUser()->id);
    }

    void sessionIsRestoredWithoutRequest()
    {
        User signedIn;
        {
            AuthViewModel model;
            QVERIFY(login(model, ServiceProcess::demoUsername(), ServiceProcess::demoPassword()));
            signedIn = *model.currentUser();
        }
        ScriptedResponder responder;
        network.setBaseURL(responder.baseUrl());
        AuthViewModel restored;
        QVERIFY(restored.isAuthenticated());
        QCOMPARE(restored.currentUser(), std::optional<User>(signedIn));
        QCOMPARE(restored.property("currentUser").value<User>(), signedIn);
        QTest::qWait(20);
        QCOMPARE(responder.connectionCount(), 0);
    }

    void undecodableEntryIsIgnoredAndKept_data()
    {
        QTest::addColumn<QVariant>("entry");
        QTest::newRow("not json") << QVariant(QByteArray("\x01\x02 not json"));
        QTest::newRow("user without id") << QVariant(QByteArray(R"({"username":"ghost"})"));
        QTest::newRow("id as text") << QVariant(QByteArray(R"({"id":"7","username":"ghost"})"));
        QTest::newRow("a text, not data") << QVariant(QStringLiteral(R"({"id":7})"));
    }

    void undecodableEntryIsIgnoredAndKept()
    {
        QFETCH(QVariant, entry);
        settings().setValue(QLatin1String(AuthViewModel::sessionKey), entry);
        AuthViewModel model;
        QVERIFY(!model.isAuthenticated());
        QVERIFY(!model.currentUser());
        QVERIFY(!model.property("currentUser").isValid());
        QCOMPARE(storedEntry(), entry);

        // A sign-in then replaces it.
        QVERIFY(login(model, ServiceProcess::demoUsername(), ServiceProcess::demoPassword()));
        QCOMPARE(storedUser(), model.currentUser());
    }

    // What goes to "auth.php" after trimming and fallbacks; empty required fields send nothing.
    void requestBodies_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QByteArray>("sent"); // empty: no request
        QTest::addColumn<QString>("error");
        const QString refused = QStringLiteral("нет");
        QTest::newRow("sign-in")
            << false << QStringList{" ivan@mail.ru\n", " pw "}
            << QByteArray(R"({"action":"login","email":"ivan@mail.ru","username":"ivan@mail.ru","password":"pw"})")
            << refused;
        QTest::newRow("registration with fallbacks")
            << true << QStringList{" ivan ", " ", "\tpw ", "", "  "}
            << QByteArray(
                   R"({"action":"register","username":"ivan","email":"ivan@vorlane.local","password":"pw","first_name":"ivan","last_name":""})")
            << refused;
        QTest::newRow("registration in full")
            << true << QStringList{"ivan", " i@x.ru ", "pw", " Иван ", " Петров "}
            << QByteArray(
                   R"({"action":"register","username":"ivan","email":"i@x.ru","password":"pw","first_name":"Иван","last_name":"Петров"})")
            << refused;
        const QString signInEmpty = QStringLiteral("Заполните логин и пароль");
        const QString registrationEmpty = QStringLiteral("Введите логин и пароль");
        QTest::newRow("login of spaces") << false << QStringList{" \n\t ", "pw"} << QByteArray() << signInEmpty;
        QTest::newRow("password of spaces") << false << QStringList{"demo", "   "} << QByteArray() << signInEmpty;
        QTest::newRow("registration without name")
            << true << QStringList{"", "a@b.c", "pw", "", ""} << QByteArray() << registrationEmpty;
        QTest::newRow("registration without password")
            << true << QStringList{"newcomer", "a@b.c", " ", "", ""} << QByteArray() << registrationEmpty;
    }

    void requestBodies()
    {
        QFETCH(bool, registration);
        QFETCH(QStringList, inputs);
        QFETCH(QByteArray, sent);
        QFETCH(QString, error);
        ScriptedResponder responder;
        responder.reply(200, R"({"success":false,"message":"нет"})");
        network.setBaseURL(responder.baseUrl());
        AuthViewModel model;
        const bool ok = registration ? registerUser(model, inputs[0], inputs[1], inputs[2], inputs[3], inputs[4])
                                     : login(model, inputs[0], inputs[1]);
        QVERIFY(!ok);
        QCOMPARE(model.errorMessage(), std::optional<QString>(error));
        QCOMPARE(model.isLoading(), false);

        if (sent.isEmpty()) {
            QTest::qWait(20);
            QCOMPARE(responder.connectionCount(), 0);
            return;
        }
        QCOMPARE(responder.requests().size(), 1);
        const auto &request = responder.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, QByteArray("/api/auth.php"));
        QCOMPARE(QJsonDocument::fromJson(request.body).object(), QJsonDocument::fromJson(sent).object());
    }

    void failuresKeepTheSession_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QString>("how"); // "status <n> <body>" or "refused"
        QTest::addColumn<QString>("error");
        QTest::newRow("401") << false << R"(status 401 {"success":true})"
                             << "Требуется авторизация";
        QTest::newRow("sign-in success without user") << false << R"(status 200 {"success":true})"
                                                      << "Ошибка авторизации";
        QTest::newRow("registration success without user") << true << R"(status 200 {"success":true})"
                                                           << "Ошибка регистрации";
        QTest::newRow("not an envelope") << false << "status 502 <html>gateway</html>"
                                         << "Ошибка чтения данных: *";
        QTest::newRow("connection refused") << false << "refused"
                                            << "Сервер недоступен";
        // A byte a second never lets the idle time-out fire; the deadline ends the request.
        QTest::newRow("reply trickling past the deadline") << true << "trickle"
                                                           << "Сервер не ответил вовремя";
    }

    void failuresKeepTheSession()
    {
        QFETCH(bool, registration);
        QFETCH(QString, how);
        QFETCH(QString, error);
        settings().setValue(QLatin1String(AuthViewModel::sessionKey), User::demoUser().toJson());
        const QVariant before = storedEntry();

        ScriptedResponder responder;
        network.setBaseURL(responder.baseUrl());
        if (how == QLatin1String("refused")) {
            network.setBaseURL(ScriptedResponder::refusingBaseUrl());
        } else if (how == QLatin1String("trickle")) {
            responder.replyTrickling("HTTP/1.1 200 OK\r\nContent-Length: 40\r\n\r\n{\"success\":true}", 1000);
            network.setDeadlineOverride(std::chrono::seconds(2));
        } else {
            const QStringList parts = how.split(QLatin1Char(' '));
            responder.reply(parts[1].toInt(), parts.mid(2).join(QLatin1Char(' ')).toUtf8());
        }

        AuthViewModel model;
        QVERIFY(model.isAuthenticated());
        const bool ok = registration ? registerUser(model, QStringLiteral("u"), {}, QStringLiteral("p"))
                                     : login(model, QStringLiteral("u"), QStringLiteral("p"));
        QVERIFY(!ok);
        const QString shown = model.errorMessage().value_or(QString());
        if (error.endsWith(QLatin1Char('*')))
            QVERIFY2(shown.startsWith(error.chopped(1)) && shown.size() >= error.size(), qPrintable(shown));
        else
            QCOMPARE(shown, error);
        QCOMPARE(model.isLoading(), false);
        QVERIFY(model.isAuthenticated());
        QCOMPARE(model.currentUser(), std::optional<User>(User::demoUser()));
        QCOMPARE(storedEntry(), before);
    }

    // A refused sign-in, then a good one: every write in order, the session stored before the user shows.
    void writesComeInOrder()
    {
        AuthViewModel model;
        const WriteLog log(model);
        QVERIFY(!login(model, ServiceProcess::demoUsername(), QStringLiteral("wrong")));
        QVERIFY(login(model, ServiceProcess::demoUsername(), ServiceProcess::demoPassword()));
        const QStringList expected{
            QStringLiteral("isLoading=true"),
            QStringLiteral("errorMessage=none"),
            QStringLiteral("errorMessage=Неверный логин или пароль"),
            QStringLiteral("isLoading=false"),
            QStringLiteral("isLoading=true"),
            QStringLiteral("errorMessage=none"),
            QStringLiteral("currentUser=demo stored=demo"),
            QStringLiteral("isAuthenticated=true"),
            QStringLiteral("isLoading=false"),
        };
        QCOMPARE(log.writes, expected);
        QCOMPARE(storedUser(), model.currentUser());
    }

    void logoutForgetsTheSession()
    {
        AuthViewModel model;
        QVERIFY(login(model, ServiceProcess::demoUsername(), ServiceProcess::demoPassword()));
        model.logout();
        QVERIFY(!model.isAuthenticated());
        QVERIFY(!model.currentUser());
        QVERIFY(!storedEntry().isValid());
        QVERIFY(!AuthViewModel().isAuthenticated());
    }
};

QTEST_GUILESS_MAIN(AuthViewModelTest)
#include "tst_authviewmodel.moc"
