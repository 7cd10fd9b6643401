#pragma once

#include "JsonCoding.h"

#include <array>
#include <cstddef>

// The members of one JSON object sorted into a record's key table in a single pass. Looking keys
// up one by one would scan the object once per key; here each member is visited once and unknown
// keys are skipped. Reads then go by table index, and name the key only when they fail.
template<std::size_t N>
class JsonFields
{
public:
    using Keys = std::array<QLatin1StringView, N>;

    JsonFields(const QJsonValue &value, const JsonPath &path, const Keys &keys) : m_path(path), m_keys(keys)
    {
        const QJsonObject object = JsonRead::object(value, path);
        m_values.fill(QJsonValue(QJsonValue::Undefined));
        for (auto it = object.constBegin(), end = object.constEnd(); it != end; ++it) {
            const QString key = it.key();
            for (std::size_t i = 0; i < N; ++i) {
                if (key == m_keys[i]) {
                    m_values[i] = it.value();
                    break;
                }
            }
        }
    }

    // Missing, null or of another type: the record fails.
    template<class T>
    T required(std::size_t index) const
    {
        return JsonCoding<T>::decodeAt(m_values[index], JsonPath(m_path, m_keys[index]));
    }

    // Missing or null: absent.
    template<class T>
    std::optional<T> optional(std::size_t index) const
    {
        const QJsonValue &value = m_values[index];
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        return JsonCoding<T>::decodeAt(value, JsonPath(m_path, m_keys[index]));
    }

    // Missing or null: the fallback.
    template<class T>
    T valueOr(std::size_t index, T fallback) const
    {
        const QJsonValue &value = m_values[index];
        if (value.isUndefined() || value.isNull())
            return fallback;
        return JsonCoding<T>::decodeAt(value, JsonPath(m_path, m_keys[index]));
    }

private:
    const JsonPath &m_path;
    const Keys &m_keys;
    std::array<QJsonValue, N> m_values;
};
