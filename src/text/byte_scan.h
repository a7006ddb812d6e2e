#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Every 64-bit x86 processor has the vector instructions that look at sixteen bytes at once.
#if defined(__SSE2__) || defined(_M_X64)
#define KV_SIXTEEN_BYTES 1
#include <emmintrin.h>
#endif

// Scans of a text eight or sixteen bytes at a time, for the readers of large projects: a project
// file is millions of short lines, and a look at one byte after another is what their time goes
// on. Each scan has a form in words of eight bytes for any processor, which the tests hold the
// other to.
namespace kv::byte_scan {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;

// Eight bytes of the text from `at` in one word (the byte first in memory is the lowest on a
// little-endian machine).
inline std::uint64_t Word(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// The bits of the first `count` bytes of a word (all of them from 8 on), to mask off what a read
// of a whole word took past the end of a shorter text.
constexpr std::uint64_t FirstBytes(std::size_t count) {
    return count >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
}

// The high bit of each byte of `word` that equals `byte`, and no other bit; no carry crosses a
// byte, so the bits stand exactly where the bytes do.
constexpr std::uint64_t Matches(std::uint64_t word, char byte) {
    constexpr std::uint64_t kLow7 = kOnes * 0x7F;
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(byte));
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// The place in a word of the first byte whose high bit `hits` sets (see Matches).
inline std::size_t FirstMatch(std::uint64_t hits) {
    const int bit = std::endian::native == std::endian::little ? std::countr_zero(hits)
                                                               : std::countl_zero(hits);
    return static_cast<std::size_t>(bit / 8);
}

// The position of the first of `Bytes` at or after `from`, or the text's size when there is none.
// Eight bytes at a time, on any processor.
template <char... Bytes> std::size_t FindFirstOfByWords(std::string_view text, std::size_t from) {
    std::size_t i = from;
    for (; i + 8 <= text.size(); i += 8) {
        const std::uint64_t word = Word(text.data() + i);
        const std::uint64_t hits = (Matches(word, Bytes) | ...);
        if (hits != 0) return i + FirstMatch(hits);
    }
    while (i < text.size() && ((text[i] != Bytes) && ...))
        ++i;
    return i;
}

#ifdef KV_SIXTEEN_BYTES

// The bits of the bytes among `Bytes` in the sixteen bytes at `at`.
template <char... Bytes> unsigned HitsAt(const char* at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return static_cast<unsigned>((_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(Bytes))) | ...));
}

// The same for the sixteen bytes from `i` on, as far as the text goes: its last bytes are looked
// at in its last sixteen, those before `i` passed over. For i < size and a text of 16 bytes or more.
template <char... Bytes> unsigned HitsFrom(std::string_view text, std::size_t i) {
    if (i + 16 <= text.size()) return HitsAt<Bytes...>(text.data() + i);
    const std::size_t last = text.size() - 16;
    return HitsAt<Bytes...>(text.data() + last) >> (i - last);
}

// The same for the sixty-four bytes at `at`, bit i for byte i: four looks whose results are
// tested once, for a scan that goes on past lines of many bytes.
template <char... Bytes> std::uint64_t HitsIn64At(const char* at) {
    return std::uint64_t{HitsAt<Bytes...>(at)} | std::uint64_t{HitsAt<Bytes...>(at + 16)} << 16 |
           std::uint64_t{HitsAt<Bytes...>(at + 32)} << 32 |
           std::uint64_t{HitsAt<Bytes...>(at + 48)} << 48;
}

template <class Bits> std::size_t FirstHit(Bits hits) {
    return static_cast<std::size_t>(std::countr_zero(hits));
}

// The bits of the `Mark` bytes and of the bytes among `Ends` in the sixteen bytes at `at`: the
// head of a line, its '=' and its end, in one look.
struct MarksAndEnds {
    unsigned marks = 0;
    unsigned ends = 0;
};
template <char Mark, char... Ends> MarksAndEnds MarksAndEndsAt(const char* at) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    __m128i ends = _mm_setzero_si128();
    ((ends = _mm_or_si128(ends, _mm_cmpeq_epi8(block, _mm_set1_epi8(Ends)))), ...);
    return {static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(Mark)))),
            static_cast<unsigned>(_mm_movemask_epi8(ends))};
}

// A key line of an INI project is mostly one look.
template <char... Bytes> std::size_t FindFirstOf(std::string_view text, std::size_t from) {
    if (text.size() < 16) return FindFirstOfByWords<Bytes...>(text, from);
    for (std::size_t i = from; i < text.size(); i += 16) {
        const unsigned hits = HitsFrom<Bytes...>(text, i);
        if (hits != 0) return i + FirstHit(hits);
    }
    return text.size();
}
#else
template <char... Bytes> std::size_t FindFirstOf(std::string_view text, std::size_t from) {
    return FindFirstOfByWords<Bytes...>(text, from);
}
#endif

// Where, at or after `from`, the first of `Ends` stands (the text's size when none does), and the
// first `Mark` before it (the end when there is none): the parts of a line found in one pass.
struct MarkAndEnd {
    std::size_t mark = 0;
    std::size_t end = 0;
};
template <char Mark, char... Ends>
MarkAndEnd FindMarkAndEndByWords(std::string_view text, std::size_t from) {
    const std::size_t end = FindFirstOfByWords<Ends...>(text, from);
    const std::size_t mark = FindFirstOfByWords<Mark>(text.substr(0, end), from);
    return {mark, end};
}

#ifdef KV_SIXTEEN_BYTES
template <char Mark, char... Ends> MarkAndEnd FindMarkAndEnd(std::string_view text, std::size_t from) {
    if (text.size() < 16) return FindMarkAndEndByWords<Mark, Ends...>(text, from);
    std::size_t mark = std::string_view::npos;
    for (std::size_t i = from; i < text.size(); i += 16) {
        const unsigned ends = HitsFrom<Ends...>(text, i);
        // Only the marks before the first end (all of them while there is none).
        const unsigned marks = HitsFrom<Mark>(text, i) & ((ends & (0u - ends)) - 1);
        if (mark == std::string_view::npos && marks != 0) mark = i + FirstHit(marks);
        if (ends != 0) {
            const std::size_t end = i + FirstHit(ends);
            return {mark == std::string_view::npos ? end : mark, end};
        }
    }
    return {mark == std::string_view::npos ? text.size() : mark, text.size()};
}
#else
template <char Mark, char... Ends> MarkAndEnd FindMarkAndEnd(std::string_view text, std::size_t from) {
    return FindMarkAndEndByWords<Mark, Ends...>(text, from);
}
#endif

// How many times `byte` stands in the text before the first `stop` byte, and where that one
// stands (npos when there is none).
struct Counted {
    std::size_t count = 0;
    std::size_t stop = std::string_view::npos;
};
// Eight bytes at a time, on any processor.
inline Counted CountBeforeByWords(std::string_view text, char byte, char stop) {
    Counted counted;
    std::size_t i = 0;
    bool stopped = false;
    while (!stopped && i + 8 <= text.size()) {
        // Each byte of `sums` adds up the matches of its place, for at most 255 words at a time.
        std::uint64_t sums = 0;
        for (int words = 0; words < 255 && i + 8 <= text.size(); ++words, i += 8) {
            const std::uint64_t word = Word(text.data() + i);
            if (Matches(word, stop) != 0) {
                stopped = true;
                break;
            }
            sums += Matches(word, byte) >> 7;
        }
        // Bytes paired into 16-bit sums, which then add up in the top 16 bits without overflow.
        constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFULL;
        const std::uint64_t pairs = (sums & kEvenBytes) + ((sums >> 8) & kEvenBytes);
        counted.count += static_cast<std::size_t>((pairs * 0x0001000100010001ULL) >> 48);
    }
    // The last bytes, or the word that holds the stop byte, one at a time.
    for (; i < text.size(); ++i) {
        if (text[i] == stop) {
            counted.stop = i;
            break;
        }
        counted.count += text[i] == byte;
    }
    return counted;
}

#ifdef KV_SIXTEEN_BYTES
// Four times as fast as words: a large project's lines are counted before it is read.
inline Counted CountBefore(std::string_view text, char byte, char stop) {
    const __m128i bytes = _mm_set1_epi8(byte);
    const __m128i stops = _mm_set1_epi8(stop);
    std::size_t count = 0;
    std::size_t i = 0;
    bool stopped = false;
    while (!stopped && i + 16 <= text.size()) {
        // Each byte of `sums` adds up the matches of its place (a match is -1, so it is
        // subtracted), for at most 255 blocks at a time.
        __m128i sums = _mm_setzero_si128();
        for (int blocks = 0; blocks < 255 && i + 16 <= text.size(); ++blocks, i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(block, stops)) != 0) {
                stopped = true;
                break;
            }
            sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(block, bytes));
        }
        const __m128i halves = _mm_sad_epu8(sums, _mm_setzero_si128()); // two 64-bit sums
        count += static_cast<std::size_t>(_mm_cvtsi128_si64(halves)) +
                 static_cast<std::size_t>(_mm_extract_epi16(halves, 4));
    }
    Counted rest = CountBeforeByWords(text.substr(i), byte, stop);
    if (rest.stop != std::string_view::npos) rest.stop += i;
    rest.count += count;
    return rest;
}
#else
inline Counted CountBefore(std::string_view text, char byte, char stop) {
    return CountBeforeByWords(text, byte, stop);
}
#endif

} // namespace kv::byte_scan
