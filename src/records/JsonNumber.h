#pragma once

#include "JsonNode.h"

#include <optional>
#include <string_view>

// A JSON number token read exactly. The text must follow the JSON grammar ("01", "1.", ".5" and
// "+1" do not) and lie inside the double range. A whole value inside 64 bits is an integer also when
// written with a fraction or an exponent, read from the digits themselves: going through a double
// would round 9007199254740993.0 to ...992 and take 1.0000000000000001 for 1.
std::optional<JsonNode::Number> readJsonNumber(std::string_view token);
