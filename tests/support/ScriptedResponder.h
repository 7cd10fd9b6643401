#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPair>
#include <QQueue>
#include <QString>
#include <QTcpServer>

#include <memory>

class QTcpSocket;

// A loopback HTTP/1.1 peer for tests that need exact reply bytes: it records each request as it
// arrived (request line, headers, body) and answers it with the next scripted reply, byte for
// byte, then closes the connection. Listens on 127.0.0.1 on a port the OS picks.
class ScriptedResponder : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray target;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body; // empty when bodies are only counted
        qint64 bodySize = 0;
        QByteArray bodySha256; // of the whole body, also when it is not kept

        // The value of the first header with this name (case-insensitive); null when absent.
        QByteArray header(const QByteArray &name) const;
        bool hasHeader(const QByteArray &name) const { return !header(name).isNull(); }
    };

    ScriptedResponder();
    ~ScriptedResponder() override;

    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>/api", the form of the client's base address.
    QString baseUrl() const;
    // A base address on 127.0.0.1 where nothing listens (any more): connections are refused.
    static QString refusingBaseUrl();

    // The next request gets exactly these bytes, then the connection closes.
    void reply(const QByteArray &raw);
    // A whole reply with this status, a Content-Type and a matching Content-Length.
    void reply(int status, const QByteArray &body, const QByteArray &contentType = "application/json");
    // The next request gets a 200 status line and headers announcing more body than is sent.
    void replyCutOff(const QByteArray &partialBody);
    // The next request gets no answer at all; the connection stays open.
    void replyNothing();
    // The next request gets these head bytes, then a body of 'x' bytes, kept a little ahead of
    // what the client reads, never whole in memory: bodySize bytes, or without end (-1) until the
    // client hangs up.
    void replyStreamed(const QByteArray &head, qint64 bodySize = -1);
    // The next request gets these bytes one at a time, one each interval, after the first `lead`
    // of them at once.
    void replyTrickling(const QByteArray &raw, int intervalMs, qsizetype lead = 0);
    // Every request once the script has run out gets this reply, as reply(status, ...) would give.
    void replyToRest(int status, const QByteArray &body, const QByteArray &contentType);
    // The same for a picture, as PNG; gives an address of the picture on this responder.
    QString servePicture(const QImage &picture);
    qint64 bytesSent() const { return m_sent; }
    // Answers the oldest request left without an answer by replyNothing(), as reply(status, ...)
    // would have; false when none is waiting.
    bool answerWaiting(int status, const QByteArray &body, const QByteArray &contentType = "application/json");

    // Large uploads: keep only the size and digest of bodies, not the bytes.
    void setKeepBodies(bool keep) { m_keepBodies = keep; }

    const QList<Request> &requests() const { return m_requests; }
    int connectionCount() const { return m_connections; }
    // Runs the event loop until this many requests have fully arrived (or a generous limit passes).
    bool waitForRequests(int count);

private:
    struct Connection;
    void accept();
    void readFrom(Connection &connection);
    void answer(Connection &connection);

    QTcpServer m_server;
    struct Step
    {
        enum Kind { Whole, Nothing, Streamed, Trickling } kind = Whole;
        QByteArray raw;
        qint64 size = 0;    // Streamed: the body's size, -1 without end; Trickling: ms between bytes
        qsizetype lead = 0; // Trickling: bytes sent at once
    };
    void feedStreamed(QTcpSocket *socket, qint64 *left);

    QQueue<Step> m_script;
    std::optional<QByteArray> m_rest;
    qint64 m_sent = 0;
    QList<Request> m_requests;
    std::vector<std::unique_ptr<Connection>> m_open;
    QQueue<QTcpSocket *> m_waiting;
    int m_connections = 0;
    bool m_keepBodies = true;
};
