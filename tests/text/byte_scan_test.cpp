#include "text/ascii.h"
#include "text/byte_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

namespace scan = kv::byte_scan;

// Every scan, on random texts of line ends, marks, end-of-file bytes and letters, at every
// length around the block sizes and from every position, finds what a look at one byte after
// another finds; the word-at-a-time forms as well as the ones the processor's vectors serve.
TEST(ByteScan, FindsAndCountsWhatAByteByByteLookFinds) {
    std::mt19937 random(7);
    const std::string alphabet = "==\n\r\x1a\xff abc";
    for (int round = 0; round < 400; ++round) {
        std::string text(random() % 70, 'a');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        for (std::size_t from = 0; from <= text.size(); ++from) {
            std::size_t end = text.find_first_of("\n\r", from);
            if (end == std::string::npos) end = text.size();
            const std::size_t mark = std::min(text.find('=', from), end);
            for (auto found : {scan::FindMarkAndEnd<'=', '\n', '\r'>(text, from),
                               scan::FindMarkAndEndByWords<'=', '\n', '\r'>(text, from)}) {
                ASSERT_EQ(found.end, end) << text << " from " << from;
                ASSERT_EQ(found.mark, mark) << text << " from " << from;
            }
            ASSERT_EQ((scan::FindFirstOf<'\n', '\r'>(text, from)), end);
        }
        const std::size_t stop = text.find('\x1a');
        const std::string before = text.substr(0, stop);
        const auto lineFeeds = static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
        for (auto counted : {scan::CountBefore(text, '\n', '\x1a'),
                             scan::CountBeforeByWords(text, '\n', '\x1a')}) {
            ASSERT_EQ(counted.count, lineFeeds) << text;
            ASSERT_EQ(counted.stop, stop) << text;
        }
    }
    // Counts that pass the 255 blocks a byte's sum holds.
    const std::string lines(16 * 300 + 5, '\n');
    EXPECT_EQ(scan::CountBefore(lines, '\n', '\x1a').count, lines.size());
    EXPECT_EQ(scan::CountBeforeByWords(lines, '\n', '\x1a').count, lines.size());
}

// Eight bytes fold as each alone does, whatever bytes stand beside them.
TEST(ByteScan, AWordFoldsAsItsBytesDo) {
    for (int c = 0; c < 256; ++c) {
        for (std::uint64_t beside : {0ULL, 0xFFFFFFFFFFFFFFFFULL, 0x5A41405B7A61607BULL}) {
            const std::uint64_t word = (beside & ~0xFF00ULL) | (static_cast<std::uint64_t>(c) << 8);
            const std::uint64_t folded = kv::FoldAsciiWord(word);
            for (int b = 0; b < 8; ++b) {
                const auto byte = static_cast<char>(word >> (8 * b));
                ASSERT_EQ(static_cast<char>(folded >> (8 * b)), kv::FoldAscii(byte)) << c << " " << b;
            }
        }
    }
}

} // namespace
