#pragma once

#include "APIResponse.h"
#include "DecodingError.h"
#include "JsonCoding.h"
#include "NetworkError.h"

#include <QByteArray>
#include <QString>

// Reads a JSON reply in two stages: first as an envelope around the wanted value, then as the
// bare value. Callers that want the envelope itself get it from the second stage, with the
// service's refusal intact.
class ReplyDecoder
{
public:
    template<class T>
    static T decode(const QByteArray &body)
    {
        QString details;
        QString description;
        try {
            APIResponse<T> envelope = decodeJson<APIResponse<T>>(body);
            if (envelope.success && envelope.data)
                return std::move(*envelope.data);
            throw NetworkError::serverError(envelope.message.value_or(QStringLiteral("Ошибка сервера")));
        } catch (const NetworkError &error) {
            details = error.debugDescription();
            description = error.localizedDescription();
        } catch (const DecodingError &error) {
            details = error.localizedDescription();
            description = error.localizedDescription();
        }

        try {
            return decodeJson<T>(body);
        } catch (const DecodingError &) {
            // Only the first stage's failure says something useful about the reply.
        }
        reportUndecodable(details, body);
        throw NetworkError::decodingError(description);
    }

private:
    // Writes the console line for a reply neither stage understood. The body is shown as text
    // only when it is valid UTF-8.
    static void reportUndecodable(const QString &details, const QByteArray &body);
};
