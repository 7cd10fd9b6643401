#include "ScriptedResponder.h"

#include <QBuffer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

struct ScriptedResponder::Connection
{
    QTcpSocket *socket = nullptr;
    QByteArray head;
    bool headDone = false;
    qint64 remaining = 0;
    Request request;
    std::unique_ptr<QCryptographicHash> digest;
    bool answered = false;
};

QByteArray ScriptedResponder::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value.isNull() ? QByteArray("") : value;
    }
    return {};
}

ScriptedResponder::ScriptedResponder()
{
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedResponder::accept);
    m_server.listen(QHostAddress::LocalHost, 0);
}

ScriptedResponder::~ScriptedResponder()
{
    for (auto &connection : m_open)
        connection->socket->abort();
}

QString ScriptedResponder::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/api").arg(port());
}

QString ScriptedResponder::refusingBaseUrl()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    return QStringLiteral("http://127.0.0.1:%1/api").arg(port);
}

void ScriptedResponder::reply(const QByteArray &raw)
{
    m_script.enqueue({Step::Whole, raw});
}

void ScriptedResponder::replyStreamed(const QByteArray &head, qint64 bodySize)
{
    m_script.enqueue({Step::Streamed, head, bodySize});
}

void ScriptedResponder::replyTrickling(const QByteArray &raw, int intervalMs, qsizetype lead)
{
    m_script.enqueue({Step::Trickling, raw, intervalMs, lead});
}

namespace {
QByteArray wholeReply(int status, const QByteArray &body, const QByteArray &contentType)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}
} // namespace

void ScriptedResponder::reply(int status, const QByteArray &body, const QByteArray &contentType)
{
    reply(wholeReply(status, body, contentType));
}

QString ScriptedResponder::servePicture(const QImage &picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    replyToRest(200, png, "image/png");
    return QStringLiteral("http://127.0.0.1:%1/picture.png").arg(port());
}

void ScriptedResponder::replyToRest(int status, const QByteArray &body, const QByteArray &contentType)
{
    m_rest = wholeReply(status, body, contentType);
}

bool ScriptedResponder::answerWaiting(int status, const QByteArray &body, const QByteArray &contentType)
{
    if (m_waiting.isEmpty())
        return false;
    QTcpSocket *socket = m_waiting.dequeue();
    socket->write(wholeReply(status, body, contentType));
    socket->disconnectFromHost();
    return true;
}

void ScriptedResponder::replyCutOff(const QByteArray &partialBody)
{
    reply("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
          QByteArray::number(partialBody.size() + 100) + "\r\n\r\n" + partialBody);
}

void ScriptedResponder::replyNothing()
{
    m_script.enqueue({Step::Nothing, {}});
}

bool ScriptedResponder::waitForRequests(int count)
{
    return QTest::qWaitFor([&] { return m_requests.size() >= count; }, 60000);
}

void ScriptedResponder::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        socket->setParent(this);
        Connection *raw = connection.get();
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { readFrom(*raw); });
        m_open.push_back(std::move(connection));
        readFrom(*raw);
    }
}

void ScriptedResponder::readFrom(Connection &connection)
{
    while (connection.socket->bytesAvailable() > 0 && !connection.answered) {
        if (!connection.headDone) {
            connection.head += connection.socket->read(connection.socket->bytesAvailable());
            const qsizetype end = connection.head.indexOf("\r\n\r\n");
            if (end < 0)
                continue;
            QByteArray rest = connection.head.mid(end + 4);
            const QList<QByteArray> lines = connection.head.left(end).split('\n');
            const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
            connection.request.method = requestLine.value(0);
            connection.request.target = requestLine.value(1);
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const QByteArray line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
                const qsizetype colon = line.indexOf(':');
                connection.request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
            }
            connection.headDone = true;
            connection.remaining = connection.request.header("Content-Length").toLongLong();
            connection.digest = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
            connection.head.clear();
            if (!rest.isEmpty()) {
                connection.remaining -= rest.size();
                connection.request.bodySize += rest.size();
                connection.digest->addData(rest);
                if (m_keepBodies)
                    connection.request.body += rest;
            }
        } else {
            const QByteArray chunk = connection.socket->read(std::min<qint64>(connection.remaining, 1 << 20));
            connection.remaining -= chunk.size();
            connection.request.bodySize += chunk.size();
            connection.digest->addData(chunk);
            if (m_keepBodies)
                connection.request.body += chunk;
        }
        if (connection.headDone && connection.remaining <= 0)
            answer(connection);
    }
    if (connection.headDone && connection.remaining <= 0 && !connection.answered)
        answer(connection);
}

void ScriptedResponder::answer(Connection &connection)
{
    connection.answered = true;
    connection.request.bodySha256 = connection.digest->result();
    m_requests.append(connection.request);
    // An unscripted request gets a plain failure rather than a hang.
    const Step step = !m_script.isEmpty() ? m_script.dequeue()
                      : m_rest            ? Step{Step::Whole, *m_rest}
                                          : Step{Step::Whole, "HTTP/1.1 599 Unscripted\r\nContent-Length: 0\r\n\r\n"};
    QTcpSocket *socket = connection.socket;
    switch (step.kind) {
    case Step::Nothing:
        m_waiting.enqueue(socket); // left hanging on purpose
        return;
    case Step::Whole:
        socket->write(step.raw);
        m_sent += step.raw.size();
        socket->disconnectFromHost();
        return;
    case Step::Streamed: {
        socket->write(step.raw);
        auto left = std::make_shared<qint64>(step.size);
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket, left] { feedStreamed(socket, left.get()); });
        feedStreamed(socket, left.get());
        return;
    }
    case Step::Trickling: {
        socket->write(step.raw.first(step.lead));
        m_sent += step.lead;
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, this, [this, socket, timer, raw = step.raw, at = step.lead]() mutable {
            if (at == raw.size() || socket->state() != QAbstractSocket::ConnectedState) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(raw.mid(at++, 1));
            socket->flush();
            ++m_sent;
        });
        timer->start(int(step.size));
        return;
    }
    }
}

void ScriptedResponder::feedStreamed(QTcpSocket *socket, qint64 *left)
{
    static const QByteArray chunk(1024 * 1024, 'x');
    while (*left != 0 && socket->state() == QAbstractSocket::ConnectedState &&
           socket->bytesToWrite() < 4 * chunk.size()) {
        const qint64 size = *left < 0 ? chunk.size() : std::min<qint64>(*left, chunk.size());
        socket->write(chunk.constData(), size);
        m_sent += size;
        if (*left > 0)
            *left -= size;
    }
    if (*left == 0 && socket->bytesToWrite() == 0)
        socket->disconnectFromHost();
}
