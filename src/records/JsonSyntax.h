#pragma once

// What JsonNode and JsonDocument share underneath: simdjson itself, the layout of a node's cursors,
// and the failure for bytes that are not JSON. Only their source files include it.
#include "JsonNode.h"

#include <simdjson.h>

#include <cstring>
#include <new>
#include <string_view>

namespace JsonSyntax {

namespace ondemand = simdjson::ondemand;
namespace dom = simdjson::dom;

// Containers nested deeper than any reply; bounds the checking walk on hostile input.
inline constexpr int maxDepth = 512;

// The deepest nesting the tape takes. A document nested deeper is read from its bytes, where
// maxDepth decides; keeping this well inside maxDepth means the tape never takes what the byte
// reader would refuse.
inline constexpr std::size_t tapeDepth = 256;

template <class Cursor> JsonNode::Storage store(const Cursor &cursor)
{
    static_assert(sizeof(Cursor) <= JsonNode::storageSize);
    static_assert(alignof(Cursor) <= 8);
    static_assert(std::is_trivially_copyable_v<Cursor>);
    JsonNode::Storage storage{};
    std::memcpy(storage.bytes, &cursor, sizeof cursor);
    return storage;
}

template <class Cursor> Cursor loadCursor(const JsonNode::Storage &storage)
{
    Cursor cursor;
    std::memcpy(&cursor, storage.bytes, sizeof cursor);
    return cursor;
}

inline ondemand::value loadValue(const JsonNode::Storage &storage)
{
    return loadCursor<ondemand::value>(storage);
}

inline dom::element loadElement(const JsonNode::Storage &storage)
{
    return loadCursor<dom::element>(storage);
}

// Throws DecodingError (InvalidJson) naming what is wrong, in the user's language.
[[noreturn]] void fail(simdjson::error_code error);
[[noreturn]] void fail(const char *reason);

template <class T> T get(simdjson::simdjson_result<T> &&result)
{
    if (result.error())
        fail(result.error());
    return std::move(result).value_unsafe();
}

} // namespace JsonSyntax
