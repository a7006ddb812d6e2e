// The whole-number parser of the grids, the prompts and the project file, against an independent
// reading of the same grammar (std::from_chars does the digits), and its round trips: every value
// it gives is written back in decimal and in both hexadecimal forms and read again unchanged.
#include "fuzz_check.h"

#include "text/whole_number.h"

#include <charconv>
#include <cstring>
#include <optional>
#include <string>

namespace {

// Blanks, a sign, then decimal, or hexadecimal after "$", "x" or "0x" (any case); nothing after
// the digits; the value fits a signed 32-bit number.
std::optional<std::int32_t> Reference(std::string_view text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos) return std::nullopt;
    text.remove_prefix(i);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    // from_chars takes no sign of its own here, and no blanks.
    if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
    auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string Hex(std::int64_t value, const char* prefix) {
    char digits[32];
    auto magnitude = static_cast<unsigned long long>(value < 0 ? -value : value);
    std::snprintf(digits, sizeof digits, "%s%s%llx", value < 0 ? "-" : "", prefix, magnitude);
    return digits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kv::fuzz::Require;
    std::string_view text = kv::fuzz::Bytes(data, size);
    std::optional<std::int32_t> value = kv::ParseWholeNumber(text);
    Require(value == Reference(text), "the parser and the reference read the text differently");

    if (value) {
        Require(kv::ParseWholeNumber(kv::FormatNumber(*value)) == value, "decimal round trip");
        Require(kv::ParseWholeNumber(Hex(*value, "$")) == value, "$ round trip");
        Require(kv::ParseWholeNumber(Hex(*value, "0X")) == value, "0x round trip");
    }

    // The first eight bytes as a 64-bit value: every number near the 32-bit limits, written in
    // decimal, parses back exactly when it fits.
    if (size >= 8) {
        std::int64_t wide;
        std::memcpy(&wide, data, sizeof wide);
        wide >>= static_cast<unsigned>(data[0] % 40); // small values as often as large ones
        bool fits = wide >= INT32_MIN && wide <= INT32_MAX;
        std::optional<std::int32_t> read = kv::ParseWholeNumber(kv::FormatNumber(wide));
        Require(fits ? read == static_cast<std::int32_t>(wide) : !read,
                "a decimal number near the limits");
    }
    return 0;
}
