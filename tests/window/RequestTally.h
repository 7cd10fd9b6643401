#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

// A loopback relay in front of the reference service that notes every request the service answers.
// The client is pointed at the relay, so what it notes is what reached the service, whatever the
// client believes it sent; the bytes pass unchanged both ways.
class RequestTally : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray target; // the path with its query
        QByteArray body;   // only its start for a large upload
    };

    explicit RequestTally(quint16 servicePort, QObject *parent = nullptr);

    bool listen();
    // The address the client takes as its base URL: "http://127.0.0.1:<relay port>/api".
    QString baseUrl() const;

    const QList<Request> &requests() const { return m_requests; }
    void clear() { m_requests.clear(); }
    // Requests of this method to this path (query left aside) whose body holds `bodyPart`.
    qsizetype count(const QByteArray &method, const QByteArray &path, const QByteArray &bodyPart = {}) const;

private:
    void relay();
    void noteRequest(Request request) { m_requests.append(std::move(request)); }

    QTcpServer m_server;
    quint16 m_servicePort;
    QList<Request> m_requests;
};
