#include "RequestTally.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <memory>

namespace {
// Enough of a body to tell one write from another; an upload's file is not kept.
constexpr qsizetype KeptBody = 64 * 1024;

// Cuts the client's byte stream into requests: a head up to the blank line, then as many body
// bytes as its Content-Length gives. The client sends no chunked bodies.
class RequestParser
{
public:
    template <typename Note> void feed(const QByteArray &bytes, Note note)
    {
        m_buffer += bytes;
        for (;;) {
            if (m_bodyLeft < 0 && !readHead())
                return;
            const qsizetype taken = std::min<qsizetype>(m_bodyLeft, m_buffer.size());
            if (m_current.body.size() < KeptBody)
                m_current.body += m_buffer.left(std::min(taken, KeptBody - m_current.body.size()));
            m_buffer.remove(0, taken);
            m_bodyLeft -= taken;
            if (m_bodyLeft > 0)
                return;
            note(std::exchange(m_current, {}));
            m_bodyLeft = -1;
        }
    }

private:
    bool readHead()
    {
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        m_buffer.remove(0, end + 4);
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        m_current = {requestLine.value(0), requestLine.value(1), {}};
        m_bodyLeft = 0;
        for (const QByteArray &line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
                m_bodyLeft = line.mid(colon + 1).trimmed().toLongLong();
        }
        return true;
    }

    QByteArray m_buffer;
    RequestTally::Request m_current;
    qint64 m_bodyLeft = -1; // below zero while the head is still coming
};
} // namespace

RequestTally::RequestTally(quint16 servicePort, QObject *parent) : QObject(parent), m_servicePort(servicePort)
{
    connect(&m_server, &QTcpServer::newConnection, this, &RequestTally::relay);
}

bool RequestTally::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString RequestTally::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/api").arg(m_server.serverPort());
}

qsizetype RequestTally::count(const QByteArray &method, const QByteArray &path, const QByteArray &bodyPart) const
{
    return std::count_if(m_requests.cbegin(), m_requests.cend(), [&](const Request &request) {
        return request.method == method && request.target.split('?').value(0) == path &&
               (bodyPart.isEmpty() || request.body.contains(bodyPart));
    });
}

void RequestTally::relay()
{
    while (QTcpSocket *client = m_server.nextPendingConnection()) {
        auto *service = new QTcpSocket(client);
        auto parser = std::make_shared<RequestParser>();
        // What the client sends before the service's side is connected waits here.
        auto early = std::make_shared<QByteArray>();
        // Requests passed on and not yet answered. The service closes an idle connection after a
        // second, and a request sent on it in that instant never reaches it: the client sends it again
        // on a new connection. So a request counts only once the service answers it.
        auto unanswered = std::make_shared<QList<Request>>();
        connect(client, &QTcpSocket::readyRead, this, [client, service, parser, early, unanswered] {
            const QByteArray bytes = client->readAll();
            parser->feed(bytes, [unanswered](Request request) { unanswered->append(std::move(request)); });
            if (service->state() == QAbstractSocket::ConnectedState)
                service->write(bytes);
            else
                *early += bytes;
        });
        connect(service, &QTcpSocket::connected, service,
                [service, early] { service->write(std::exchange(*early, {})); });
        // The client sends one request at a time on a connection, so an answer's first bytes answer
        // all that was passed on.
        connect(service, &QTcpSocket::readyRead, client, [this, client, service, unanswered] {
            for (Request &request : *unanswered)
                noteRequest(std::move(request));
            unanswered->clear();
            client->write(service->readAll());
        });
        connect(service, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, service, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        service->connectToHost(QHostAddress::LocalHost, m_servicePort);
    }
}
