#pragma once

#include "VorlaneError.h"

#include <QString>

// The server client's own failures. Their descriptions are the texts the sign-in screen shows.
class NetworkError : public VorlaneError
{
public:
    enum class Kind { ServerError, DecodingError, InvalidURL, Unauthorized };

    static NetworkError serverError(const QString &text) { return NetworkError(Kind::ServerError, text); }
    static NetworkError decodingError(const QString &text) { return NetworkError(Kind::DecodingError, text); }
    static NetworkError invalidURL() { return NetworkError(Kind::InvalidURL, {}); }
    static NetworkError unauthorized() { return NetworkError(Kind::Unauthorized, {}); }

    Kind kind() const { return m_kind; }
    // The text the kind carries (empty for the kinds without one).
    QString payload() const { return m_payload; }

    QString localizedDescription() const override;
    // The form written to the console, naming the kind: serverError("…").
    QString debugDescription() const;

private:
    NetworkError(Kind kind, QString payload);

    Kind m_kind;
    QString m_payload;
};
