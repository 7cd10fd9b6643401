#pragma once

#include "JsonCoding.h"

#include <array>
#include <cstddef>
#include <optional>

// The members of one JSON object sorted into a record's key table in one pass over the members,
// each key compared as bytes; unknown keys are skipped and, of duplicates, the last one counts.
// Reads then go by table index, in the record's own order, and name the key only when they fail.
template <std::size_t N> class JsonFields
{
public:
    // ASCII keys, matched exactly.
    using Keys = std::array<QLatin1StringView, N>;

    JsonFields(JsonNode value, const JsonPath &path, const Keys &keys) : m_path(path), m_keys(keys)
    {
        JsonRead::requireObject(value, path);
        JsonNode key = value.firstChild();
        for (qsizetype member = 0; member < value.size(); ++member) {
            const JsonNode memberValue = key.next();
            for (std::size_t i = 0; i < N; ++i) {
                if (key.equals(m_keys[i])) {
                    m_found[i] = memberValue;
                    break;
                }
            }
            key = memberValue.next();
        }
    }

    // Missing, null or of another type: the record fails.
    template <class T> T required(std::size_t index) const
    {
        const JsonPath path(m_path, m_keys[index]);
        if (!m_found[index])
            JsonRead::fail(DecodingError::Kind::Missing, path);
        return JsonCoding<T>::decodeAt(*m_found[index], path);
    }

    // Missing or null: absent.
    template <class T> std::optional<T> optional(std::size_t index) const
    {
        if (isAbsent(index))
            return std::nullopt;
        return JsonCoding<T>::decodeAt(*m_found[index], JsonPath(m_path, m_keys[index]));
    }

    // Missing or null: the fallback.
    template <class T> T valueOr(std::size_t index, T fallback) const
    {
        if (isAbsent(index))
            return fallback;
        return JsonCoding<T>::decodeAt(*m_found[index], JsonPath(m_path, m_keys[index]));
    }

private:
    bool isAbsent(std::size_t index) const { return !m_found[index] || m_found[index]->isNull(); }

    const JsonPath &m_path;
    const Keys &m_keys;
    std::array<std::optional<JsonNode>, N> m_found;
};
