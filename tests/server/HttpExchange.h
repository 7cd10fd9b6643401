#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QString>

// Plain HTTP against the service under test: what came back, and nothing interpreted.
struct HttpReply
{
    int status = 0;
    QByteArray contentType;
    QByteArray body;
    QString transferError; // empty when the reply arrived whole

    QJsonObject object() const;
    bool isRefusal(const QString &message) const;
};

class HttpExchange
{
public:
    explicit HttpExchange(QString siteUrl);

    // AsClient sends "Content-Type: application/json" with the GET, as the Vorlane client does.
    enum Style { Plain, AsClient };
    HttpReply get(const QString &path, Style style = Plain);
    HttpReply post(const QString &path, const QByteArray &body, const QByteArray &contentType = "application/json");
    HttpReply postJson(const QString &path, const QJsonObject &body);
    HttpReply postFile(const QString &path, const QByteArray &fileName, const QByteArray &content);

    // Sends `request` byte for byte on a new connection and returns everything read until the
    // service closes it.
    static QByteArray raw(int port, const QByteArray &request);

    static QByteArray multipart(const QByteArray &boundary, const QByteArray &fileName, const QByteArray &content);

private:
    HttpReply finish(class QNetworkReply *reply);

    QString m_siteUrl;
    QNetworkAccessManager m_network;
};
