#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kv {

// ASCII letters in lower case; every other byte (Cyrillic included) as it is. Names of INI
// sections and keys and file extensions match this way, whatever the code page.
constexpr char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// FoldAscii for the eight bytes of a word at once: bit 5 is set in each byte from 'A' to 'Z'.
constexpr std::uint64_t FoldAsciiWord(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = kOnes * 0x80;
    const std::uint64_t low7 = word & ~kHigh; // no sum of a byte below carries into the next
    const std::uint64_t atLeastA = (low7 + kOnes * (0x80 - 'A')) & kHigh;
    const std::uint64_t pastZ = (low7 + kOnes * (0x80 - 'Z' - 1)) & kHigh;
    const std::uint64_t upper = atLeastA & ~pastZ & ~word; // and the byte is ASCII
    return word | (upper >> 2);
}

// The value of a hexadecimal digit in either case; -1 for any other byte.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whether a name ends in a suffix, ASCII letters of either case matching ("x.INI" ends in ".ini").
constexpr bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    name.remove_prefix(name.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (FoldAscii(name[i]) != FoldAscii(suffix[i])) return false;
    return true;
}

} // namespace kv
