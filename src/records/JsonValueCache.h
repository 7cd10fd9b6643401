#pragma once

#include "JsonNode.h"

#include <cstddef>
#include <memory>
#include <unordered_map>

// The values already decoded from one document, by their JSON: a record whose JSON repeats in a
// reply (a post's author on each of their posts) is decoded once, and the later ones share its
// value, costing neither the decoding nor the memory again. Only JSON that reads the same
// wherever it stands is shared: the same members in the same order, no whole-valued fractions
// (whose digits decide).
class JsonValueCache
{
public:
    // The shared value for `node`, made by `decode(node)` the first time its JSON is met.
    template <class T, class Decode> std::shared_ptr<const T> value(const JsonNode &node, Decode &&decode)
    {
        static const char type = 0;
        const std::size_t hash = node.contentHash();
        if (hash != 0) {
            const auto [begin, end] = m_entries.equal_range(hash);
            for (auto it = begin; it != end; ++it) {
                if (it->second.type == &type && it->second.node.sameContent(node))
                    return std::static_pointer_cast<const T>(it->second.value);
            }
        }
        auto made = std::make_shared<const T>(decode(node));
        if (hash != 0)
            m_entries.emplace(hash, Entry{&type, node, made});
        return made;
    }

    // Lets go of every value held.
    void clear() { m_entries.clear(); }

private:
    struct Entry
    {
        const char *type;
        JsonNode node;
        std::shared_ptr<const void> value;
    };
    std::unordered_multimap<std::size_t, Entry> m_entries;
};
