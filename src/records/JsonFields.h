#pragma once

#include "JsonCoding.h"

#include <array>
#include <cstddef>
#include <exception>
#include <optional>
#include <tuple>
#include <utility>

template <std::size_t N> using JsonKeys = std::array<QLatin1StringView, N>;

// The members of one JSON object read into a record's key table in one pass over the members,
// each key compared as bytes; unknown keys are skipped and, of duplicates, the last
// one counts. Each known member is decoded as it comes by the type at its place in Ts; what it
// holds, or the failure of decoding it, waits in its slot. Reads then go by table index, in the
// record's own order, so that of several faults the one met first in that order is reported
// whatever the order of the members.
template <class... Ts> class JsonFields
{
public:
    static constexpr std::size_t N = sizeof...(Ts);
    using Keys = JsonKeys<N>;
    template <std::size_t I> using Type = std::tuple_element_t<I, std::tuple<Ts...>>;

    // ASCII keys, matched exactly.
    JsonFields(JsonNode value, const JsonPath &path, const Keys &keys) : m_path(path), m_keys(keys)
    {
        JsonRead::requireObject(value, path);
        std::size_t expected = 0;
        value.forEachMember([this, &expected](std::string_view key, JsonNode member) {
            const std::size_t index = find(key, expected);
            if (index == N)
                return;
            expected = index + 1;
            decoders[index](*this, member);
        });
    }

    // Missing, null or of another type: the record fails.
    template <std::size_t I> Type<I> required()
    {
        Slot &slot = m_slots[I];
        if (slot.state == State::Missing)
            JsonRead::fail(DecodingError::Kind::Missing, JsonPath(m_path, m_keys[I]));
        if (slot.state == State::Null)
            JsonRead::fail(DecodingError::Kind::Null, JsonPath(m_path, m_keys[I]));
        return take<I>();
    }

    // Missing or null: absent.
    template <std::size_t I> std::optional<Type<I>> optional()
    {
        if (isAbsent(I))
            return std::nullopt;
        return take<I>();
    }

    // Missing or null: the fallback.
    template <std::size_t I> Type<I> valueOr(Type<I> fallback)
    {
        if (isAbsent(I))
            return fallback;
        return take<I>();
    }

private:
    enum class State : quint8 { Missing, Null, Decoded, Failed };
    struct Slot
    {
        State state = State::Missing;
        std::exception_ptr failure;
    };

    // Members usually come in table order: look where the last one left off first.
    std::size_t find(std::string_view key, std::size_t expected) const
    {
        for (std::size_t n = 0; n < N; ++n) {
            const std::size_t i = (expected + n) % N;
            if (key.size() == std::size_t(m_keys[i].size()) && std::equal(key.begin(), key.end(), m_keys[i].data()))
                return i;
        }
        return N;
    }

    template <std::size_t I> static void decode(JsonFields &fields, JsonNode member)
    {
        Slot &slot = fields.m_slots[I];
        if (slot.state == State::Failed)
            slot.failure = nullptr;
        if (member.takeNull()) {
            slot.state = State::Null;
            return;
        }
        try {
            std::get<I>(fields.m_values) =
                JsonCoding<Type<I>>::decodeAt(member, JsonPath(fields.m_path, fields.m_keys[I]));
            slot.state = State::Decoded;
        } catch (const DecodingError &) {
            slot.state = State::Failed;
            slot.failure = std::current_exception();
        }
    }

    static constexpr auto decoders = []<std::size_t... I>(std::index_sequence<I...>)
    {
        return std::array<void (*)(JsonFields &, JsonNode), N>{&JsonFields::decode<I>...};
    }
    (std::index_sequence_for<Ts...>());

    bool isAbsent(std::size_t index) const
    {
        const State state = m_slots[index].state;
        return state == State::Missing || state == State::Null;
    }

    template <std::size_t I> Type<I> take()
    {
        if (m_slots[I].state == State::Failed)
            std::rethrow_exception(m_slots[I].failure);
        return std::move(*std::get<I>(m_values));
    }

    const JsonPath &m_path;
    const Keys &m_keys;
    std::tuple<std::optional<Ts>...> m_values;
    std::array<Slot, N> m_slots;
};
