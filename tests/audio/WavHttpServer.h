#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QUrl>

class QTcpSocket;

// Serves one generated WAV over HTTP on a loopback port chosen by the system, honouring byte
// ranges the way a media pipeline asks for them.
class WavHttpServer : public QObject
{
    Q_OBJECT

public:
    explicit WavHttpServer(QByteArray body, QObject *parent = nullptr);

    bool listen();
    QUrl url(const QString &path) const;

    // 16-bit mono PCM of a quiet tone, the given number of milliseconds long.
    static QByteArray makeWav(int milliseconds, int sampleRate = 8000);

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    QByteArray m_body;
};
