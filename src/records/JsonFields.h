#pragma once

#include "JsonCoding.h"

#include <array>
#include <cstddef>

// The members of one JSON object sorted into a record's key table. Reads go by table index, and
// name the key only when they fail.
template<std::size_t N>
class JsonFields
{
public:
    using Keys = std::array<QLatin1StringView, N>;

    JsonFields(const QCborValue &value, const JsonPath &path, const Keys &keys)
        : m_object(JsonRead::object(value, path)), m_path(path), m_keys(keys)
    {
        // QCborMap compares a Latin-1 key with the stored names in place; walking the members
        // and asking each for its name would allocate a QString per member instead, which
        // measured slower on feed-sized replies.
        for (std::size_t i = 0; i < N; ++i)
            m_found[i] = m_object.constFind(m_keys[i]);
    }

    // Missing, null or of another type: the record fails.
    template<class T>
    T required(std::size_t index) const
    {
        const JsonPath path(m_path, m_keys[index]);
        if (m_found[index] == m_object.constEnd())
            JsonRead::fail(DecodingError::Kind::Missing, path);
        return read<T>(m_found[index].value(), path);
    }

    // Missing or null: absent.
    template<class T>
    std::optional<T> optional(std::size_t index) const
    {
        if (isAbsent(index))
            return std::nullopt;
        return read<T>(m_found[index].value(), JsonPath(m_path, m_keys[index]));
    }

    // Missing or null: the fallback.
    template<class T>
    T valueOr(std::size_t index, T fallback) const
    {
        if (isAbsent(index))
            return fallback;
        return read<T>(m_found[index].value(), JsonPath(m_path, m_keys[index]));
    }

private:
    bool isAbsent(std::size_t index) const
    {
        return m_found[index] == m_object.constEnd() || m_found[index].value().isNull();
    }

    template<class T>
    static T read(QCborValueConstRef value, const JsonPath &path)
    {
        if constexpr (requires { JsonCoding<T>::read(value, path); })
            return JsonCoding<T>::read(value, path);
        else
            return JsonCoding<T>::decodeAt(QCborValue(value), path);
    }

    QCborMap m_object;
    const JsonPath &m_path;
    const Keys &m_keys;
    std::array<QCborMap::ConstIterator, N> m_found;
};
