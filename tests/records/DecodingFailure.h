#pragma once

#include "DecodingError.h"
#include "JsonCoding.h"

#include <QByteArray>
#include <QtGlobal>

#include <optional>

// The DecodingError that `run` throws, or no value when it throws none.
template <class Run> std::optional<DecodingError> decodingFailure(Run &&run)
{
    try {
        run();
    } catch (const DecodingError &error) {
        return error;
    }
    return std::nullopt;
}

// A document is read from its parsed tape where it can be and from its bytes as they come where
// it cannot; both must give the same record or the same failure. Every decoding in these tests
// goes through here and checks both.
template <class T> std::optional<DecodingError> failureOf(const QByteArray &bytes, T *decodedValue = nullptr)
{
    std::optional<T> fastest;
    std::optional<T> streamed;
    const auto fastestFailure = decodingFailure([&] { fastest = decodeJson<T>(bytes); });
    const auto streamedFailure =
        decodingFailure([&] { streamed = decodeJson<T>(bytes, JsonDocument::Reading::Streamed); });
    const bool alike = fastestFailure
        ? streamedFailure && fastestFailure->kind() == streamedFailure->kind() &&
            fastestFailure->path() == streamedFailure->path() &&
            fastestFailure->localizedDescription() == streamedFailure->localizedDescription()
        : !streamedFailure && encodeJson(*fastest) == encodeJson(*streamed);
    if (!alike)
        qFatal("the two readings of %s differ", bytes.left(200).constData());
    if (decodedValue && fastest)
        *decodedValue = std::move(*fastest);
    return fastestFailure;
}

// `bytes` decoded as T, both ways alike; throws the DecodingError when it fails.
template <class T> T decodedAlike(const QByteArray &bytes)
{
    T value{};
    if (const std::optional<DecodingError> failure = failureOf<T>(bytes, &value))
        throw *failure;
    return value;
}
