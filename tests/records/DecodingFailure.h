#pragma once

#include "DecodingError.h"
#include "JsonCoding.h"

#include <QByteArray>

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

// The failure of decoding `bytes` as T, if any; what decodes lands in `decodedValue`.
template <class T> std::optional<DecodingError> failureOf(const QByteArray &bytes, T *decodedValue = nullptr)
{
    return decodingFailure([&] {
        T value = decodeJson<T>(bytes);
        if (decodedValue)
            *decodedValue = std::move(value);
    });
}
