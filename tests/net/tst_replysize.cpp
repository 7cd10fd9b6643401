// Replies are held whole in memory, so their size is bounded: a body past the limit stops the
// transfer, whether it announces its length or streams without end.
#include "NetworkManager.h"
#include "ScriptedResponder.h"
#include "TaskOutcome.h"
#include "TransferError.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

// Answers every connection with a 200 and a body that never ends, until the client hangs up.
class EndlessReplyServer : public QObject
{
public:
    EndlessReplyServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    // One answer per connection, once the request has arrived.
                    if (socket->property("answered").toBool())
                        return;
                    socket->readAll();
                    socket->setProperty("answered", true);
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n[");
                    feed(socket);
                });
                connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket] { feed(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/api").arg(m_server.serverPort()); }
    qint64 sent() const { return m_sent; }

private:
    void feed(QTcpSocket *socket)
    {
        // A little ahead of the client, never the whole body in memory.
        static const QByteArray chunk = QByteArray(1024 * 1024 - 2, '1').prepend("1,").append(',');
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk.size()) {
            socket->write(chunk);
            m_sent += chunk.size();
        }
    }

    QTcpServer m_server;
    qint64 m_sent = 0;
};

QByteArray jsonTextOfSize(qint64 size)
{
    return QByteArray(size - 2, 'a').prepend('"').append('"');
}

} // namespace

class ReplySizeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endlessBodyStopsAtTheLimit()
    {
        EndlessReplyServer server;
        NetworkManager::shared().setBaseURL(server.baseUrl());
        const auto outcome = runToEnd(NetworkManager::shared().request<QList<qint64>>(QStringLiteral("feed.php")));
        const auto error = outcome.errorAs<TransferError>();
        QVERIFY2(error, qPrintable(outcome.errorText()));
        QCOMPARE(error->localizedDescription(), QStringLiteral("Ответ сервера слишком большой: больше 64 МиБ"));
        // The client stopped reading soon after the limit instead of taking what was offered.
        QVERIFY2(server.sent() < NetworkManager::maxReplySize + 64 * 1024 * 1024,
                 qPrintable(QString::number(server.sent())));
    }

    void bodyUpToTheLimitIsRead_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("read");
        QTest::newRow("at the limit") << NetworkManager::maxReplySize << true;
        QTest::newRow("one byte more") << NetworkManager::maxReplySize + 1 << false;
    }

    void bodyUpToTheLimitIsRead()
    {
        QFETCH(qint64, size);
        QFETCH(bool, read);
        ScriptedResponder responder;
        responder.reply(200, jsonTextOfSize(size));
        NetworkManager::shared().setBaseURL(responder.baseUrl());
        const auto outcome = runToEnd(NetworkManager::shared().request<QString>(QStringLiteral("feed.php")));
        if (read) {
            QVERIFY2(outcome.value, qPrintable(outcome.errorText()));
            QCOMPARE(outcome.value->size(), size - 2);
        } else {
            QVERIFY(!outcome.value);
            QVERIFY(outcome.errorAs<TransferError>());
        }
    }
};

QTEST_GUILESS_MAIN(ReplySizeTest)
#include "tst_replysize.moc"
