// The service under clients that behave badly: connections that send their request a line at a
// time, bursts of sign-ins, readers of a long feed that stop reading half-way. Whoever else asks
// meanwhile is still answered.
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

// A whole request in one piece, so that no part of it waits for the service to acknowledge another.
QByteArray postRequest(const QByteArray &path, const QJsonObject &json)
{
    const QByteArray body = QJsonDocument(json).toJson(QJsonDocument::Compact);
    return "POST " + path +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Type: application/json\r\n"
           "Content-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray loginRequest(const QByteArray &name, const QByteArray &password)
{
    return postRequest("/api/auth.php", {{"action", "login"},
                                         {"username", QString::fromUtf8(name)},
                                         {"email", QString::fromUtf8(name)},
                                         {"password", QString::fromUtf8(password)}});
}

// The post ids of a feed reply, in order; empty when the body is not a whole feed.
QList<qint64> postIds(const QByteArray &body)
{
    QList<qint64> ids;
    for (const QJsonValue &post : QJsonDocument::fromJson(body).array())
        ids.append(post.toObject().value(QStringLiteral("id")).toInteger());
    return ids;
}

// The body of a whole HTTP reply read until the service closed the connection; empty when it
// came short of its Content-Length.
QByteArray bodyOf(const QByteArray &reply)
{
    const qsizetype headEnd = reply.indexOf("\r\n\r\n");
    const qsizetype lengthAt = reply.indexOf("Content-Length: ");
    if (headEnd < 0 || lengthAt < 0 || lengthAt > headEnd)
        return {};
    const qsizetype length = reply.mid(lengthAt + 16, reply.indexOf("\r\n", lengthAt) - lengthAt - 16).toLongLong();
    const QByteArray body = reply.mid(headEnd + 4);
    return body.size() == length ? body : QByteArray();
}
} // namespace

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

    // The feed's reply is kept and handed to every reader. Readers that stop reading a long one
    // half-way, while a new post makes a newer reply take its place, still get every byte of the
    // one they began, and later readers get the new one.
    void sendsAKeptFeedWholeWhileAWriteReplacesIt()
    {
        // Megabytes (30 kB a post): more than the socket buffers between a stalled reader and the
        // service hold.
        const QString text(10000, QChar(0x5B57));
        for (int i = 0; i < 200; ++i) {
            const QByteArray posted = HttpExchange::raw(
                m_service.port(),
                postRequest("/api/feed.php", {{"user_id", 1 + i % 6}, {"text", text}, {"image_url", ""}}));
            QVERIFY2(posted.contains("\"success\":true"), posted.left(300).constData());
        }
        const QList<qint64> before = postIds(m_http->get("/api/feed.php").body);
        QVERIFY(before.size() > 200);

        std::vector<std::unique_ptr<QTcpSocket>> stalled;
        for (int i = 0; i < 8; ++i) {
            stalled.push_back(connectTo(m_service.port()));
            QVERIFY(stalled.back());
            stalled.back()->setReadBufferSize(4096); // reads no further until the test takes these
            stalled.back()->write("GET /api/feed.php HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
            QVERIFY(stalled.back()->waitForReadyRead(WaitMs)); // the reply has begun
        }

        const HttpReply posted = m_http->postJson(
            QStringLiteral("/api/feed.php"), {{"user_id", 2}, {"text", QStringLiteral("Новая")}, {"image_url", ""}});
        const qint64 newId =
            posted.object().value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).toInteger();
        QVERIFY(newId > 0);
        const QList<qint64> after = postIds(m_http->get("/api/feed.php").body);
        QCOMPARE(after.first(), newId);
        QCOMPARE(after.mid(1), before);

        for (const auto &socket : stalled) {
            socket->setReadBufferSize(0);
            QByteArray reply;
            while (socket->state() == QAbstractSocket::ConnectedState && socket->waitForReadyRead(WaitMs))
                reply += socket->readAll();
            reply += socket->readAll();
            QVERIFY2(reply.startsWith("HTTP/1.1 200 OK\r\n"), reply.left(200).constData());
            QCOMPARE(postIds(bodyOf(reply)), before);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ServiceLoad)
#include "tst_service_load.moc"
