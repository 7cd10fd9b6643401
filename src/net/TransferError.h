#pragma once

#include "VorlaneError.h"

#include <QNetworkReply>
#include <QString>

// A request that did not complete (refused connection, dropped body, time-out, cancellation,
// proxy or protocol trouble). Its text is the client's own Russian one for the kind of failure:
// Qt's English error strings never reach a screen.
class TransferError : public VorlaneError
{
public:
    explicit TransferError(QNetworkReply::NetworkError code);
    TransferError(QNetworkReply::NetworkError code, QString text);

    QNetworkReply::NetworkError code() const { return m_code; }
    QString localizedDescription() const override { return m_text; }

    // Whether a finished reply failed in transit. HTTP error statuses are not transfer failures:
    // their bodies are read like any other.
    static bool isTransferFailure(QNetworkReply::NetworkError code);
    // The text shown for a failure of this kind.
    static QString describe(QNetworkReply::NetworkError code);

private:
    QNetworkReply::NetworkError m_code;
    QString m_text;
};
