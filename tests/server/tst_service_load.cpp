// The service under clients that behave badly: connections that send their request a line at a
// time, bursts of sign-ins. Whoever else asks meanwhile is still answered.
#include "ServiceTest.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTest>
#include <memory>
#include <vector>

namespace {
constexpr int WaitMs = 60000;

std::unique_ptr<QTcpSocket> connectTo(int port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
    return socket->waitForConnected(WaitMs) ? std::move(socket) : nullptr;
}

QByteArray loginRequest(const QByteArray &name, const QByteArray &password)
{
    const QByteArray body = QJsonDocument(QJsonObject{{"action", "login"},
                                                      {"username", QString::fromUtf8(name)},
                                                      {"email", QString::fromUtf8(name)},
                                                      {"password", QString::fromUtf8(password)}})
                                .toJson(QJsonDocument::Compact);
    return "POST /api/auth.php HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Type: application/json\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}
}

class tst_ServiceLoad : public ServiceTest
{
    Q_OBJECT

private Q_SLOTS:
    void answersWhileManyClientsSendTheirHeadSlowly()
    {
        std::vector<std::unique_ptr<QTcpSocket>> slow;
        for (int i = 0; i < 64; ++i) {
            slow.push_back(connectTo(m_service.port()));
            QVERIFY(slow.back());
            slow.back()->write("GET /api/music.php HTTP/1.1\r\n");
            QVERIFY(slow.back()->waitForBytesWritten(WaitMs));
        }

        const HttpReply feed = m_http->get("/api/feed.php", HttpExchange::AsClient);
        QCOMPARE(feed.status, 200);
        QVERIFY(QJsonDocument::fromJson(feed.body).isArray());

        // The slow ones were kept waiting, not dropped: finished now, each gets its answer.
        for (const auto &socket : slow)
            socket->write("Host: 127.0.0.1\r\nConnection: close\r\n\r\n");
        for (const auto &socket : slow) {
            QByteArray reply;
            while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(WaitMs))
                reply += socket->readAll();
            reply += socket->readAll();
            QVERIFY2(reply.startsWith("HTTP/1.1 200 OK\r\n"), reply.left(200).constData());
        }
    }

    // A head that never ends is cut off, also when its bytes keep coming.
    void dropsAHeadThatTakesTooLong()
    {
        const std::unique_ptr<QTcpSocket> socket = connectTo(m_service.port());
        QVERIFY(socket);
        socket->write("GET /api/music.php HTTP/1.1\r\n");
        int linesSent = 0;
        QByteArray answer;
        for (; linesSent < 60 && socket->state() == QAbstractSocket::ConnectedState; ++linesSent) {
            socket->write(QByteArray("X-Line-") + QByteArray::number(linesSent) + ": 1\r\n");
            socket->waitForBytesWritten(WaitMs);
            if (socket->waitForReadyRead(250))
                answer += socket->readAll();
        }
        answer += socket->readAll();
        QVERIFY2(linesSent < 60, "the service kept reading the head");
        QVERIFY2(!answer.startsWith("HTTP/1.1 200"), answer.constData());
    }

    void answersAReadDuringASignInBurst()
    {
        constexpr int Burst = 96;
        std::vector<std::unique_ptr<QTcpSocket>> signIns;
        for (int i = 0; i < Burst; ++i) {
            signIns.push_back(connectTo(m_service.port()));
            QVERIFY(signIns.back());
        }
        int answered = 0;
        int succeeded = 0;
        for (const auto &socket : signIns) {
            connect(socket.get(), &QTcpSocket::disconnected, this, [&answered, &succeeded, s = socket.get()] {
                ++answered;
                succeeded += s->readAll().contains("\"success\":true") ? 1 : 0;
            });
            socket->write(loginRequest("demo", "demo12345"));
            QVERIFY(socket->waitForBytesWritten(WaitMs));
        }

        const HttpReply feed = m_http->get("/api/feed.php", HttpExchange::AsClient);
        const int answeredBeforeTheRead = answered;
        QCOMPARE(feed.status, 200);
        QVERIFY(QJsonDocument::fromJson(feed.body).isArray());
        // Queued behind the burst, the read would come after most of it.
        QVERIFY2(answeredBeforeTheRead < Burst / 2,
                 qPrintable(QStringLiteral("%1 sign-ins answered before the feed").arg(answeredBeforeTheRead)));

        QTRY_COMPARE_WITH_TIMEOUT(answered, Burst, WaitMs);
        QCOMPARE(succeeded, Burst);
    }
};

QTEST_GUILESS_MAIN(tst_ServiceLoad)
#include "tst_service_load.moc"
