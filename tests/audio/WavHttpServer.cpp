#include "WavHttpServer.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QtEndian>

#include <cmath>
#include <numbers>

WavHttpServer::WavHttpServer(QByteArray body, QObject *parent)
    : QObject(parent)
    , m_body(std::move(body))
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool WavHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl WavHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void WavHttpServer::serve(QTcpSocket *socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n"))
        return;

    qint64 first = 0;
    qint64 last = m_body.size() - 1;
    bool partial = false;
    static const QRegularExpression range(QStringLiteral("(?i)\\r\\nrange:\\s*bytes=(\\d+)-(\\d*)"));
    const QRegularExpressionMatch match = range.match(QString::fromLatin1(request));
    if (match.hasMatch()) {
        partial = true;
        first = match.captured(1).toLongLong();
        if (!match.captured(2).isEmpty())
            last = std::min(last, match.captured(2).toLongLong());
    }

    QByteArray head;
    if (first > last) {
        head = "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        socket->write(head);
    } else {
        const QByteArray part = m_body.mid(first, last - first + 1);
        head = partial ? "HTTP/1.1 206 Partial Content\r\n" : "HTTP/1.1 200 OK\r\n";
        head += "Content-Type: audio/wav\r\nAccept-Ranges: bytes\r\nConnection: close\r\n";
        head += "Content-Length: " + QByteArray::number(part.size()) + "\r\n";
        if (partial)
            head += "Content-Range: bytes " + QByteArray::number(first) + '-' + QByteArray::number(last) + '/'
                    + QByteArray::number(m_body.size()) + "\r\n";
        socket->write(head + "\r\n" + part);
    }
    socket->disconnectFromHost();
}

QByteArray WavHttpServer::makeWav(int milliseconds, int sampleRate)
{
    const qint32 samples = qint32(qint64(sampleRate) * milliseconds / 1000);
    const qint32 dataBytes = samples * 2;
    QByteArray wav;
    auto put32 = [&wav](quint32 v) { char b[4]; qToLittleEndian(v, b); wav.append(b, 4); };
    auto put16 = [&wav](quint16 v) { char b[2]; qToLittleEndian(v, b); wav.append(b, 2); };
    wav += "RIFF";
    put32(quint32(36 + dataBytes));
    wav += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(quint32(sampleRate));
    put32(quint32(sampleRate * 2));
    put16(2);
    put16(16);
    wav += "data";
    put32(quint32(dataBytes));
    for (qint32 i = 0; i < samples; ++i)
        put16(quint16(qint16(2000 * std::sin(2 * std::numbers::pi * 440 * i / sampleRate))));
    return wav;
}
