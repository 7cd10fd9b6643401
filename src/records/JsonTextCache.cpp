#include "JsonTextCache.h"

#include "JsonNode.h"

#include <QtGlobal>

#include <cstring>

namespace {

// A slot from a text's length and its first and last eight bytes: enough to tell apart the
// texts of one reply (names, dates, addresses that share a beginning) at a fraction of a full hash.
std::size_t slotOf(std::string_view utf8, unsigned bits)
{
    quint64 head = 0;
    quint64 tail = 0;
    if (utf8.size() >= sizeof head) {
        std::memcpy(&head, utf8.data(), sizeof head);
        std::memcpy(&tail, utf8.data() + utf8.size() - sizeof tail, sizeof tail);
    } else {
        std::memcpy(&head, utf8.data(), utf8.size());
    }
    const quint64 mixed = (head * 0x9E3779B97F4A7C15ull) ^ ((tail + utf8.size()) * 0xC2B2AE3D27D4EB4Full);
    return static_cast<std::size_t>((mixed ^ (mixed >> 32)) * 0x9E3779B97F4A7C15ull >> (64 - bits));
}

} // namespace

QString JsonTextCache::text(std::string_view utf8)
{
    if (utf8.size() > longestShared)
        return textFromUtf8(utf8);
    const std::size_t slot = slotOf(utf8, slotBits);
    Entry &entry = m_entries[slot];
    if (entry.bytes && entry.size == utf8.size() && std::memcmp(entry.bytes, utf8.data(), utf8.size()) == 0)
        return entry.text;
    if (!entry.bytes)
        m_used.push_back(slot);
    entry.bytes = utf8.data();
    entry.size = utf8.size();
    entry.text = textFromUtf8(utf8);
    return entry.text;
}

void JsonTextCache::clear()
{
    for (const std::size_t slot : m_used)
        m_entries[slot] = Entry();
    m_used.clear();
}
