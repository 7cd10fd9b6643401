// The service under clients that behave badly: connections that send their request a line at a
// time, bursts of sign-ins. Whoever else asks meanwhile is still answered.
#include "ServiceTest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
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

    // A request that keeps trickling in is cut off: its head must be whole within seconds, and its
    // body must keep coming at a floor rate after it. Each row sends a byte every 250 ms for as
    // long as 60 s; the service must end it well before.
    void dropsARequestThatTakesTooLong_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("piece");
        QTest::newRow("head") << QByteArray("GET /api/music.php HTTP/1.1\r\n") << QByteArray("X-Line: 1\r\n");
        QTest::newRow("body") << QByteArray(
                                     "POST /api/feed.php HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
                                     "Content-Length: 1000\r\n\r\n{")
                              << QByteArray(" ");
    }
    void dropsARequestThatTakesTooLong()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, piece);
        const std::unique_ptr<QTcpSocket> socket = connectTo(m_service.port());
        QVERIFY(socket);
        socket->write(head);
        int piecesSent = 0;
        QByteArray answer;
        for (; piecesSent < 240 && socket->state() == QAbstractSocket::ConnectedState; ++piecesSent) {
            socket->write(piece);
            socket->waitForBytesWritten(WaitMs);
            if (socket->waitForReadyRead(250))
                answer += socket->readAll();
        }
        answer += socket->readAll();
        QVERIFY2(piecesSent < 240, "the service kept reading the request");
        QVERIFY2(!answer.contains("\"success\":true"), answer.constData());
    }

    // Sign-ins queue for the hashing; a read that comes during the burst is not queued behind it.
    // Checked by order, not by time: most of the burst is still unanswered when the read is.
    void answersAReadDuringASignInBurst()
    {
        constexpr int Burst = 48;
        std::vector<std::unique_ptr<QTcpSocket>> signIns;
        for (int i = 0; i < Burst; ++i) {
            signIns.push_back(connectTo(m_service.port()));
            QVERIFY(signIns.back());
            signIns.back()->write(loginRequest("demo", "demo12345"));
            QVERIFY(signIns.back()->waitForBytesWritten(WaitMs));
        }

        const HttpReply feed = m_http->get("/api/feed.php", HttpExchange::AsClient);
        const auto answeredBeforeTheRead = std::count_if(signIns.cbegin(), signIns.cend(), [](const auto &socket) {
            return socket->state() == QAbstractSocket::UnconnectedState || socket->bytesAvailable() > 0;
        });
        QCOMPARE(feed.status, 200);
        QVERIFY(QJsonDocument::fromJson(feed.body).isArray());
        QVERIFY2(answeredBeforeTheRead < Burst / 2,
                 qPrintable(QStringLiteral("%1 sign-ins answered before the feed").arg(answeredBeforeTheRead)));

        // However long the burst takes, every sign-in in it succeeds.
        for (const auto &socket : signIns) {
            while (socket->state() == QAbstractSocket::ConnectedState)
                socket->waitForDisconnected(-1);
            QVERIFY(socket->readAll().contains("\"success\":true"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_ServiceLoad)
#include "tst_service_load.moc"
