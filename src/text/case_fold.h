#pragma once

#include <array>
#include <cstddef>

namespace kv {

namespace detail {

// Every byte of Windows-1251 to its small letter: the Latin letters, А..Я, and the capitals of
// the upper half that Russian, Ukrainian, Belarusian, Serbian and Macedonian text uses (Ё, Є, І,
// Ї, Ў, Ґ, Ђ, Ѓ, Љ, Њ, Ќ, Ћ, Џ, Ј, Ѕ). Every other byte stands for itself. An own table and no
// locale, so a search matches the same on every system.
constexpr std::array<unsigned char, 256> MakeCp1251Fold() {
    std::array<unsigned char, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b)
        table[b] = static_cast<unsigned char>(b);
    for (std::size_t b = 'A'; b <= 'Z'; ++b)
        table[b] = static_cast<unsigned char>(b + 32);
    for (std::size_t b = 0xC0; b <= 0xDF; ++b)
        table[b] = static_cast<unsigned char>(b + 32);
    constexpr unsigned char kPairs[][2] = {
        {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
        {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
        {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
    };
    for (const auto& pair : kPairs)
        table[pair[0]] = pair[1];
    return table;
}

} // namespace detail

inline constexpr std::array<unsigned char, 256> kCp1251Fold = detail::MakeCp1251Fold();

// A Windows-1251 byte in small letters, for matching text without regard to case. (Names of INI
// keys and file extensions fold their ASCII letters only: FoldAscii.)
constexpr char FoldCase(char c) {
    return static_cast<char>(kCp1251Fold[static_cast<unsigned char>(c)]);
}

} // namespace kv
