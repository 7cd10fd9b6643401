#pragma once

// What JsonNode and JsonDocument share underneath: simdjson itself and the failure for bytes that
// are not JSON. Only their source files include it.
#include "JsonNode.h"

#include <simdjson.h>

#include <cstring>
#include <type_traits>

namespace JsonSyntax {

namespace dom = simdjson::dom;

// Containers nested deeper than any reply are refused; bounds the work on hostile input.
inline constexpr std::size_t maxDepth = 512;

static_assert(sizeof(dom::element) == sizeof(JsonNode::Element));
static_assert(alignof(dom::element) <= alignof(JsonNode::Element));
static_assert(std::is_trivially_copyable_v<dom::element>);

inline JsonNode::Element store(const dom::element &element)
{
    JsonNode::Element stored;
    std::memcpy(stored.bytes, &element, sizeof element);
    return stored;
}

inline dom::element load(const JsonNode::Element &stored)
{
    dom::element element;
    std::memcpy(static_cast<void *>(&element), stored.bytes, sizeof element);
    return element;
}

// Throws DecodingError (InvalidJson) naming what is wrong, in the user's language.
[[noreturn]] void fail(simdjson::error_code error);
[[noreturn]] void fail(const char *reason);

} // namespace JsonSyntax
