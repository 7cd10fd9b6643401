#include "HttpExchange.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkReply>
#include <QTcpSocket>

namespace {
constexpr int TransferTimeoutMs = 120000;
}

QJsonObject HttpReply::object() const
{
    return QJsonDocument::fromJson(body).object();
}

bool HttpReply::isRefusal(const QString &message) const
{
    const QJsonObject envelope = object();
    return status == 200 && envelope.value(QStringLiteral("success")) == QJsonValue(false)
        && envelope.value(QStringLiteral("message")).toString() == message;
}

HttpExchange::HttpExchange(QString siteUrl)
    : m_siteUrl(std::move(siteUrl))
{
    m_network.setTransferTimeout(TransferTimeoutMs);
}

HttpReply HttpExchange::get(const QString &path, Style style)
{
    QNetworkRequest request(QUrl(m_siteUrl + path));
    if (style == AsClient)
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    return finish(m_network.get(request));
}

HttpReply HttpExchange::post(const QString &path, const QByteArray &body, const QByteArray &contentType)
{
    QNetworkRequest request(QUrl(m_siteUrl + path));
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    return finish(m_network.post(request, body));
}

HttpReply HttpExchange::postJson(const QString &path, const QJsonObject &body)
{
    return post(path, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

HttpReply HttpExchange::postFile(const QString &path, const QByteArray &fileName, const QByteArray &content)
{
    const QByteArray boundary = "Boundary-6F9619FF-8B86-D011-B42D-00CF4FC964FF";
    return post(path, multipart(boundary, fileName, content), "multipart/form-data; boundary=" + boundary);
}

QByteArray HttpExchange::multipart(const QByteArray &boundary, const QByteArray &fileName, const QByteArray &content)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + fileName
        + "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content + "\r\n--" + boundary + "--\r\n";
}

HttpReply HttpExchange::finish(QNetworkReply *reply)
{
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    HttpReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    result.body = reply->readAll();
    if (reply->error() != QNetworkReply::NoError && result.status == 0)
        result.transferError = reply->errorString();
    reply->deleteLater();
    return result;
}

QByteArray HttpExchange::raw(int port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
    if (!socket.waitForConnected(TransferTimeoutMs))
        return {};
    socket.write(request);
    socket.waitForBytesWritten(TransferTimeoutMs);
    QByteArray received;
    while (socket.waitForReadyRead(TransferTimeoutMs))
        received += socket.readAll();
    received += socket.readAll();
    return received;
}
