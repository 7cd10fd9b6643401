#include "TransferError.h"

TransferError::TransferError(QNetworkReply::NetworkError code, QString text)
    : m_code(code)
    , m_text(std::move(text))
{
}

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
