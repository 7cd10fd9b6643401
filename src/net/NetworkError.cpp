#include "NetworkError.h"

NetworkError::NetworkError(Kind kind, QString payload)
    : m_kind(kind)
    , m_payload(std::move(payload))
{
}

QString NetworkError::localizedDescription() const
{
    switch (m_kind) {
    case Kind::ServerError:
        return m_payload;
    case Kind::DecodingError:
        return QStringLiteral("Ошибка чтения данных: ") + m_payload;
    case Kind::InvalidURL:
        return QStringLiteral("Некорректный адрес сервера");
    case Kind::Unauthorized:
        return QStringLiteral("Требуется авторизация");
    }
    return {};
}

QString NetworkError::debugDescription() const
{
    switch (m_kind) {
    case Kind::ServerError:
        return QStringLiteral("serverError(\"%1\")").arg(m_payload);
    case Kind::DecodingError:
        return QStringLiteral("decodingError(\"%1\")").arg(m_payload);
    case Kind::InvalidURL:
        return QStringLiteral("invalidURL");
    case Kind::Unauthorized:
        return QStringLiteral("unauthorized");
    }
    return {};
}
