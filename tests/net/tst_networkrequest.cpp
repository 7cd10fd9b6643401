#include "NetworkError.h"
#include "NetworkManager.h"
#include "Post.h"
#include "ScriptedResponder.h"
#include "StdoutCapture.h"
#include "TaskOutcome.h"
#include "TransferError.h"
#include "User.h"
#include "records/RecordSamples.h"

#include <QJsonDocument>
#include <QTest>

using namespace std::chrono_literals;

namespace {

QString describe(const User &user)
{
    return QStringLiteral("user %1 %2").arg(user.id).arg(user.username);
}

QString describe(const QList<User> &users)
{
    QStringList ids;
    for (const User &user : users)
        ids << QString::number(user.id);
    return QStringLiteral("list [%1]").arg(ids.join(QLatin1Char(',')));
}

QString describe(const APIResponse<User> &envelope)
{
    return QStringLiteral("envelope %1 message=%2 data=%3")
        .arg(envelope.success ? QStringLiteral("true") : QStringLiteral("false"),
             envelope.message.value_or(QStringLiteral("none")),
             envelope.data ? QString::number(envelope.data->id) : QStringLiteral("none"));
}

template<class T>
QString describe(const TaskOutcome<T> &outcome)
{
    return outcome.value ? describe(*outcome.value) : QStringLiteral("error ") + outcome.errorText();
}

// An expectation ending in '*' asks for that beginning and something after it.
bool matches(const QString &actual, const QString &expected)
{
    if (!expected.endsWith(QLatin1Char('*')))
        return actual == expected;
    return actual.startsWith(expected.chopped(1)) && actual.size() > expected.size() - 1;
}

const QByteArray ivan = R"({"id":7,"username":"ivan","first_name":"Иван"})";

} // namespace

class NetworkRequestTest : public QObject
{
    Q_OBJECT

private:
    NetworkManager &network = NetworkManager::shared();

    // Runs one request of the wanted shape, with standard output captured.
    template<class T>
    QString run(const QString &endpoint, QByteArray *console)
    {
        StdoutCapture capture;
        const auto outcome = runToEnd(network.request<T>(endpoint));
        *console = capture.finish();
        return describe(outcome);
    }

private Q_SLOTS:
    void cleanup()
    {
        network.setTimeoutOverride(0ms);
        network.setDeadlineOverride(0ms);
    }

    void twoStageDecoding_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("outcome");
        // What the console line must say between "details: " and ". Raw data: "; empty: no line.
        QTest::addColumn<QString>("details");

        const QByteArray envelopeWithUser = R"({"success":true,"data":)" + ivan + "}";
        const QByteArray refused = R"({"success":false,"message":"Неверный пароль"})";
        const QByteArray refusedSilently = R"({"success":false})";
        const QByteArray emptySuccess = R"({"success":true})";
        const QByteArray html = "<html><body><h1>502 Bad Gateway</h1></body></html>";

        const QString failed = "error Ошибка чтения данных: ";
        const QString notJson = "данные не являются корректным JSON*";
        const QString serverError = "serverError(\"Ошибка сервера\")";

        QTest::newRow("bare record") << "user" << 200 << ivan << "user 7 ivan" << "";
        QTest::newRow("record in an envelope") << "user" << 200 << envelopeWithUser << "user 7 ivan" << "";
        QTest::newRow("bare list") << "list" << 200 << QByteArray("[" + ivan + "]") << "list [7]" << "";
        QTest::newRow("list in an envelope") << "list" << 200 << QByteArray(R"({"success":true,"data":[]})")
                                             << "list []" << "";
        QTest::newRow("envelope asked for, success with data")
            << "envelope" << 200 << envelopeWithUser << "envelope true message=none data=7" << "";
        QTest::newRow("refusal with message, record asked for")
            << "user" << 200 << refused << failed + "Неверный пароль" << "serverError(\"Неверный пароль\")";
        QTest::newRow("refusal without message, record asked for")
            << "user" << 200 << refusedSilently << failed + "Ошибка сервера" << serverError;
        QTest::newRow("success without data, record asked for")
            << "user" << 200 << emptySuccess << failed + "Ошибка сервера" << serverError;
        QTest::newRow("refusal with message, envelope asked for")
            << "envelope" << 200 << refused << "envelope false message=Неверный пароль data=none" << "";
        QTest::newRow("refusal without message, envelope asked for")
            << "envelope" << 200 << refusedSilently << "envelope false message=none data=none" << "";
        QTest::newRow("success without data, envelope asked for")
            << "envelope" << 200 << emptySuccess << "envelope true message=none data=none" << "";
        QTest::newRow("bare record, envelope asked for") << "envelope" << 200 << ivan << failed + "*" << "*";
        QTest::newRow("html page, record asked for") << "user" << 502 << html << failed + "*" << "*";
        QTest::newRow("html page, envelope asked for") << "envelope" << 200 << html << failed + "*" << "*";
        // The first stage gives up inside the broken object; the second reads the same document.
        QTest::newRow("broken object, list asked for")
            << "list" << 200 << QByteArray("{not json") << failed + notJson << notJson;
        // The first stage stops at a value of the wrong kind; the bytes after it are no JSON.
        QTest::newRow("fault after a wrong value, list asked for")
            << "list" << 200 << QByteArray(R"({"success":true,"data":[1,]})") << failed + notJson << notJson;
        QTest::newRow("invalid utf-8") << "user" << 200 << QByteArray("\xff\xfe{\x80 not json") << failed + "*" << "*";
        QTest::newRow("500 with an envelope") << "user" << 500 << envelopeWithUser << "user 7 ivan" << "";
        QTest::newRow("400 with a refusal") << "envelope" << 400 << refused
                                            << "envelope false message=Неверный пароль data=none" << "";
        QTest::newRow("404 with a bare list") << "list" << 404 << QByteArray("[]") << "list []" << "";
        QTest::newRow("401 whatever the body") << "envelope" << 401 << envelopeWithUser
                                               << "error Требуется авторизация" << "";
    }

    void twoStageDecoding()
    {
        QFETCH(QString, shape);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, outcome);
        QFETCH(QString, details);

        ScriptedResponder responder;
        responder.reply(status, body, status == 502 ? "text/html" : "application/json");
        network.setBaseURL(responder.baseUrl());

        QByteArray console;
        const QString endpoint = shape == QLatin1String("user") ? QStringLiteral("profile.php?user_id=7")
                                 : shape == QLatin1String("list") ? QStringLiteral("feed.php")
                                                                  : QStringLiteral("auth.php");
        const QString actual = shape == QLatin1String("user")   ? run<User>(endpoint, &console)
                               : shape == QLatin1String("list") ? run<QList<User>>(endpoint, &console)
                                                                : run<APIResponse<User>>(endpoint, &console);

        // A GET carries the JSON content type, no body and no token.
        QCOMPARE(responder.requests().size(), 1);
        const auto &request = responder.requests().first();
        QCOMPARE(request.method, QByteArray("GET"));
        QCOMPARE(request.target, "/api/" + endpoint.toUtf8());
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(request.bodySize, 0);
        QVERIFY(request.header("Content-Length").isNull() || request.header("Content-Length") == "0");
        QVERIFY(!request.hasHeader("Transfer-Encoding"));
        QVERIFY(!request.hasHeader("Authorization"));

        QVERIFY2(matches(actual, outcome), qPrintable(actual));
        if (details.isEmpty()) {
            QCOMPARE(console, QByteArray());
            return;
        }
        // The body appears as text only when it is valid UTF-8.
        const QByteArray raw = body.startsWith('\xff') ? QByteArray() : body;
        const QByteArray prefix = "Decoding error details: ";
        const QByteArray suffix = ". Raw data: " + raw + "\n";
        QVERIFY2(console.startsWith(prefix) && console.endsWith(suffix), console.constData());
        QCOMPARE(console.count('\n'), 1);
        const QString named = QString::fromUtf8(console.mid(prefix.size(), console.size() - prefix.size() - suffix.size()));
        QVERIFY2(matches(named, details), qPrintable(named));
    }

    // A reply that both stages refuse: the console names what is wrong with the wanted value and
    // where, from the stage that read the value (inside "data" of an envelope, or the whole reply).
    void consoleNamesTheValuesOwnFault_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("details");

        const QByteArray post = RecordSamples::post;
        QByteArray gif = post;
        gif.replace(R"("type":"image")", R"("type":"gif")");
        QByteArray noText = post;
        noText.replace(R"("text":"Привет\nмир",)", "");
        QByteArray countAsText = post;
        countAsText.replace(R"("likes_count":5)", R"("likes_count":"5")");
        QVERIFY(gif != post && noText != post && countAsText != post);

        QTest::newRow("feed, unknown attachment type")
            << "feed" << QByteArray("[" + post + "," + gif + "]")
            << "поле «[1].attachments[0].type» содержит неизвестное значение «gif»";
        QTest::newRow("feed, missing key") << "feed" << QByteArray("[" + noText + "]") << "поле «[0].text» отсутствует";
        QTest::newRow("feed, an element not an object")
            << "feed" << QByteArray("[" + post + ",5]") << "поле «[1]» не является объектом";
        QTest::newRow("feed in an envelope, unknown attachment type")
            << "feed" << QByteArray(R"({"success":true,"data":[)" + gif + "]}")
            << "поле «data[0].attachments[0].type» содержит неизвестное значение «gif»";
        QTest::newRow("feed in an envelope whose flag is a number")
            << "feed" << QByteArray(R"({"success":1,"data":[]})")
            << "поле «success» имеет неверный тип, ожидается true или false";
        QTest::newRow("new post, missing key")
            << "post envelope" << QByteArray(R"({"success":true,"data":)" + noText + "}")
            << "поле «data.text» отсутствует";
        QTest::newRow("new post, count as text")
            << "post envelope" << QByteArray(R"({"success":true,"data":)" + countAsText + "}")
            << "поле «data.likes_count» имеет неверный тип, ожидается целое число";
    }

    void consoleNamesTheValuesOwnFault()
    {
        QFETCH(QString, shape);
        QFETCH(QByteArray, body);
        QFETCH(QString, details);
        ScriptedResponder responder;
        responder.reply(200, body);
        network.setBaseURL(responder.baseUrl());

        StdoutCapture capture;
        const QString failure =
            shape == QLatin1String("feed")
                ? runToEnd(network.request<QList<Post>>(QStringLiteral("feed.php"))).errorText()
                : runToEnd(network.request<APIResponse<Post>>(QStringLiteral("feed.php"))).errorText();
        const QByteArray console = capture.finish();
        QVERIFY2(failure.startsWith(QStringLiteral("Ошибка чтения данных: ")), qPrintable(failure));
        QCOMPARE(QString::fromUtf8(console),
                 "Decoding error details: " + details + ". Raw data: " + QString::fromUtf8(body) + "\n");
    }

    void postSendsJsonAndToken()
    {
        ScriptedResponder responder;
        responder.reply(200, R"({"success":true})");
        network.setBaseURL(responder.baseUrl());
        network.setAuthToken(QStringLiteral("tok-123"));
        const QJsonObject body{{QStringLiteral("user_id"), 9007199254740993LL}, {QStringLiteral("text"), "Привет"}};
        const auto outcome = runToEnd(
            network.request<APIResponse<User>>(QStringLiteral("feed.php"), QStringLiteral("POST"), body));
        network.setAuthToken(std::nullopt);
        QVERIFY(outcome.value && outcome.value->success);

        const auto &request = responder.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(request.header("Authorization"), QByteArray("Bearer tok-123"));
        QCOMPARE(QJsonDocument::fromJson(request.body).object(), body);
        QCOMPARE(request.header("Content-Length").toLongLong(), request.body.size());
    }

    void invalidAddressSendsNothing_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("endpoint");
        QTest::newRow("space in the endpoint") << "" << "feed.php?q=два слова";
        QTest::newRow("bad port") << "http://127.0.0.1:99999/api" << "feed.php";
        QTest::newRow("space in the host") << "http://127.0.0 .1/api" << "feed.php";
    }

    void invalidAddressSendsNothing()
    {
        QFETCH(QString, base);
        QFETCH(QString, endpoint);
        ScriptedResponder responder;
        network.setBaseURL(base.isEmpty() ? responder.baseUrl() : base);
        const auto outcome = runToEnd(network.request<QList<User>>(endpoint));
        const auto error = outcome.errorAs<NetworkError>();
        QVERIFY(error && error->kind() == NetworkError::Kind::InvalidURL);
        QCOMPARE(outcome.errorText(), QStringLiteral("Некорректный адрес сервера"));
        QTest::qWait(50);
        QCOMPARE(responder.connectionCount(), 0);
    }

    // Each failure in the client's own Russian words, never Qt's English ones.
    void transferFailuresReadInRussian_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const QString late = QStringLiteral("Сервер не ответил вовремя");
        QTest::newRow("connection refused")
            << "refused" << int(QNetworkReply::ConnectionRefusedError) << "Сервер недоступен";
        QTest::newRow("body cut off after 200")
            << "cut" << int(QNetworkReply::RemoteHostClosedError) << "Соединение с сервером прервано";
        QTest::newRow("transfer time-out") << "silent" << int(QNetworkReply::OperationCanceledError) << late;
        // A byte a second keeps the idle time-out from firing; the deadline ends the request.
        QTest::newRow("deadline") << "trickle" << int(QNetworkReply::OperationCanceledError) << late;
    }

    void transferFailuresReadInRussian()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        QFETCH(QString, text);
        ScriptedResponder responder;
        network.setBaseURL(responder.baseUrl());
        if (how == QLatin1String("refused")) {
            network.setBaseURL(ScriptedResponder::refusingBaseUrl());
        } else if (how == QLatin1String("cut")) {
            responder.replyCutOff("{\"success\":true,\"da");
        } else if (how == QLatin1String("silent")) {
            responder.replyNothing();
            network.setTimeoutOverride(300ms);
        } else {
            responder.replyTrickling("HTTP/1.1 200 OK\r\nContent-Length: 40\r\n\r\n{\"success\":true}", 1000);
            network.setDeadlineOverride(2s);
        }

        const auto outcome = runToEnd(network.request<APIResponse<User>>(QStringLiteral("auth.php")));
        const auto error = outcome.errorAs<TransferError>();
        QVERIFY2(error, qPrintable(describe(outcome)));
        QCOMPARE(int(error->code()), code);
        QCOMPARE(error->localizedDescription(), text);
    }
};

QTEST_GUILESS_MAIN(NetworkRequestTest)
#include "tst_networkrequest.moc"
