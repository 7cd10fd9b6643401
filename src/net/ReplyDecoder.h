#pragma once

#include "APIResponse.h"
#include "DecodingError.h"
#include "JsonCoding.h"
#include "NetworkError.h"
#include "ParseCost.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <type_traits>

// Reads a JSON reply in two stages: first as an envelope around the wanted value, then as the
// bare value. Callers that want the envelope itself get it from the second stage, with the
// service's refusal intact. The reply is indexed once; both stages read that one document.
class ReplyDecoder
{
public:
    template <class T> static T decode(const QByteArray &body)
    {
        if (const std::optional<DecodingError> tooDense = ParseCost::refusal(body)) {
            reportUndecodable(tooDense->localizedDescription(), body);
            throw NetworkError::decodingError(tooDense->localizedDescription());
        }
        JsonDocument document(body);
        QString details;
        QString description;
        std::optional<DecodingError> asEnvelope;
        try {
            APIResponse<T> envelope = document.decodeUnchecked<APIResponse<T>>();
            if (envelope.success && envelope.data)
                return std::move(*envelope.data);
            throw NetworkError::serverError(envelope.message.value_or(QStringLiteral("Ошибка сервера")));
        } catch (const NetworkError &error) {
            details = error.debugDescription();
            description = error.localizedDescription();
        } catch (const DecodingError &error) {
            asEnvelope = error;
        }

        std::optional<DecodingError> asValue;
        try {
            return document.decodeUnchecked<T>();
        } catch (const DecodingError &error) {
            asValue = error;
        }
        if (asEnvelope) {
            // The first stage may have stopped at a value of the wrong kind before the bytes that
            // are not JSON: those come first, as if the reply had been checked whole beforehand.
            if (asEnvelope->kind() != DecodingError::Kind::InvalidJson) {
                if (std::optional<DecodingError> notJson = document.notJson())
                    asEnvelope = asValue = notJson;
            }
            description = asEnvelope->localizedDescription();
            details = valueFailure(*asEnvelope, *asValue, IsEnvelope<T>::value).localizedDescription();
        }
        reportUndecodable(details, body);
        throw NetworkError::decodingError(description);
    }

private:
    template <class T> struct IsEnvelope : std::false_type
    {
    };
    template <class X> struct IsEnvelope<APIResponse<X>> : std::true_type
    {
    };

    // Of the two stages' failures, the one that names what is wrong with the value itself and
    // where: the first stage's, which looked inside "data", when the reply is an envelope around
    // the value; the second stage's when the reply stands for the value itself (it is no envelope,
    // or the value is an envelope).
    static const DecodingError &valueFailure(const DecodingError &asEnvelope, const DecodingError &asValue,
                                             bool valueIsEnvelope);
    // Writes the console line for a reply neither stage understood. The body is shown as text
    // only when it is valid UTF-8, and only its first 64 KiB, with the count of bytes left out.
    static void reportUndecodable(const QString &details, const QByteArray &body);
};
