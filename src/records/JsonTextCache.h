#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// The short texts already made from one document's bytes. A reply repeats many of them (an
// author's name and picture on each of their posts, the same "2 часа назад" on many), and making
// a QString costs an allocation and a UTF-8 conversion, while a copy of one costs a reference:
// texts met again are handed out shared. Direct-mapped, so a lookup is one cheap hash and one
// compare, and a clash only costs the later text its sharing.
//
// The bytes looked up must live until clear(), which the document calls when it ends.
class JsonTextCache
{
public:
    // Longer texts (a post's body) seldom repeat in a reply and would only pay for the compare.
    static constexpr std::size_t longestShared = 64;

    QString text(std::string_view utf8);
    // Lets go of every text held.
    void clear();

private:
    struct Entry
    {
        const char *bytes = nullptr;
        std::size_t size = 0;
        QString text;
    };
    static constexpr std::size_t slotBits = 10;
    std::array<Entry, std::size_t(1) << slotBits> m_entries;
    std::vector<std::size_t> m_used;
};
