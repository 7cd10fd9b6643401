#pragma once

#include <QtGlobal>

#include <optional>
#include <string_view>
#include <vector>

// The exact value of a JSON number token when it is whole and inside 64 bits, read from the
// digits themselves, also when written with a fraction or an exponent: going through a double
// would round 9007199254740993.0 to ...992 and take 1.0000000000000001 for 1.
std::optional<qint64> readWholeNumber(std::string_view token);

// The written form of each number in JSON text, in document order.
std::vector<std::string_view> writtenNumbers(std::string_view json);
