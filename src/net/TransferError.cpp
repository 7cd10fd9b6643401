#include "TransferError.h"

TransferError::TransferError(QNetworkReply::NetworkError code) : TransferError(code, describe(code)) {}

TransferError::TransferError(QNetworkReply::NetworkError code, QString text) : m_code(code), m_text(std::move(text)) {}

bool TransferError::isTransferFailure(QNetworkReply::NetworkError code)
{
    // Qt groups its codes in ranges: 1-99 network, 101-199 proxy, 201-299 content (HTTP 4xx),
    // 301-399 protocol, 401-499 server (HTTP 5xx). A dropped body or an expired time-out still
    // carries the status that arrived first, so the kind decides, never the status.
    const int value = int(code);
    if (value == 0)
        return false;
    return value < 200 || (value > 300 && value < 400);
}

QString TransferError::describe(QNetworkReply::NetworkError code)
{
    switch (code) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("Сервер недоступен");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("Сервер не найден");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("Соединение с сервером прервано");
    // Qt ends a request whose transfer time-out expired as cancelled; the client cancels none
    // of its own requests otherwise.
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("Сервер не ответил вовремя");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("Не удалось установить защищённое соединение с сервером");
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return QStringLiteral("Некорректный адрес сервера");
    default:
        break;
    }
    const int value = int(code);
    if (value > 100 && value < 200)
        return QStringLiteral("Ошибка прокси-сервера");
    if (value > 300 && value < 400)
        return QStringLiteral("Ошибка сервера");
    return QStringLiteral("Нет соединения с сервером");
}
