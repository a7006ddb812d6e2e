#include "text/whole_number.h"

#include "text/ascii.h"

#include <string>

namespace kv {

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;

    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        const int digit = base == 16 ? HexDigitValue(c) : c >= '0' && c <= '9' ? c - '0' : -1;
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > 0x80000000LL) return std::nullopt; // beyond any 32-bit value
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::string FormatNumber(std::int64_t value) { return std::to_string(value); }

} // namespace kv
