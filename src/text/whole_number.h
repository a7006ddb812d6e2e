#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kv {

// A whole number as the user types it into a grid cell or a prompt, and as the project file
// stores it: optional leading blanks, an optional sign, then decimal digits, or hexadecimal
// digits after "$", "x" or "0x" (either case). Nothing may follow, and the value must fit a
// signed 32-bit number. An empty text is not a number.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

// Decimal, with a minus sign for negative values and nothing else.
std::string FormatNumber(std::int64_t value);

} // namespace kv
