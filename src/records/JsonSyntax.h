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

static_assert(sizeof(ondemand::value) <= JsonNode::storageSize);
static_assert(alignof(ondemand::value) <= 8);
static_assert(std::is_trivially_copyable_v<ondemand::value>);

inline JsonNode::Storage store(const ondemand::value &value)
{
    JsonNode::Storage storage{};
    std::memcpy(storage.bytes, &value, sizeof value);
    return storage;
}

inline ondemand::value loadValue(const JsonNode::Storage &storage)
{
    ondemand::value value;
    std::memcpy(&value, storage.bytes, sizeof value);
    return value;
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
