#pragma once

#include "text/byte_scan.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// An INI file held in memory with the rules of the Windows profile functions: sections and keys
// match without regard to ASCII letter case, the first occurrence of a section or a key counts,
// blanks around keys and values are dropped and one pair of enclosing quotation marks is removed.
// The file is parsed once; every lookup is answered from memory. Values are Windows-1251 bytes.
//
// A file that starts with a UTF-8 or UTF-16 byte-order mark is read as the text it holds, in
// Windows-1251. Lines end with LF, CR LF or a lone CR; lines that begin with ';' are comments; a
// line without '=' inside a section, and every line before the first section, is ignored. The
// rules for lines are in project/ini_lines.h, which the INI import shares.
class IniFile {
public:
    IniFile() = default;
    // Takes the bytes over: an import of a large file keeps one copy of it, not two.
    static IniFile Parse(std::string bytes);
    // A missing file reads as an empty one; another read failure throws Error.
    static IniFile Load(const std::string& path);

    bool HasSection(std::string_view section) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // Decimal with an optional minus sign, or hexadecimal after "0x"/"0X" when the value has
    // more than two characters; anything else gives fallback.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;

    // The value of a key as the readers above see it; nothing when the section or the key is
    // missing. The view lasts until the file is next changed.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // A section looked up once for many keys.
    class Section {
    public:
        explicit operator bool() const { return file_ != nullptr; }
        std::optional<std::string_view> Find(std::string_view key) const;

    private:
        friend class IniFile;
        const IniFile* file_ = nullptr;
        std::uint32_t block_ = 0;
    };
    Section FindSection(std::string_view section) const;

    // Changes an existing key in place, adds a missing key at the end of its section and a
    // missing section at the end of the file; every other line stays as it was.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    // The whole file with CR LF line ends.
    std::string Serialize() const;
    // Replaces the file safely; throws Error("Unable to write to <path>").
    void Save(const std::string& path) const;

private:
    // A piece of text_ by offset, so that copies and moves of the file stay valid.
    struct Span {
        std::uint32_t begin = 0;
        std::uint32_t size = 0;
    };
    struct Key {
        Span name;
        Span value;
    };
    // One section: its header and the lines up to the next header. A key is looked up by a walk
    // over the block's keys: settings files are a few dozen lines.
    struct Block {
        Span name;
        Span lines;
        std::uint32_t firstKey = 0; // its key lines in keys_, every occurrence in file order
        std::uint32_t keyCount = 0;
    };

    std::string_view View(Span span) const {
        return std::string_view(text_).substr(span.begin, span.size);
    }
    void BuildIndex();
    // The position in sectionSlots_ that holds the name, or where it would go. The table must
    // not be empty.
    std::size_t SectionSlot(std::string_view section) const;
    const Block* FindBlock(std::string_view section) const;
    const Key* FindKey(const Block& block, std::string_view key) const;

    std::string text_;
    std::vector<Block> blocks_;
    std::vector<Key> keys_;                   // every key line, block by block
    std::vector<std::uint32_t> sectionSlots_; // index into blocks_ + 1 of each first occurrence
};

// An integer value by the profile rules above; nothing for any other text. Decimal values must
// fit a signed 32-bit number; hexadecimal ones may use all 32 bits (0xFFFFFFFF is -1). A value
// beyond 32 bits is not taken as an integer, so the caller's default applies.
std::optional<std::int32_t> ParseIniInteger(std::string_view value);

namespace ini_number {

// A value of one to eight bytes that are all plain digits, read as one word with no look at each
// digit (no branch that a varying count of digits mispredicts); false for any other value.
// Eight bytes from the value's start may be read.
inline bool PlainDigitsAtOnce(std::string_view value, std::int32_t& number) {
    constexpr std::uint64_t kOnes = byte_scan::kOnes;
    std::uint64_t word = 0;
    std::memcpy(&word, value.data(), 8);
    const std::uint64_t used = byte_scan::FirstBytes(value.size());
    word &= used;
    // Each used byte is 0x30..0x39: its high half is 3, and still 3 once 6 is added.
    const std::uint64_t threes = kOnes * 0x30 & used;
    if ((word & kOnes * 0xF0) != threes ||
        ((word + (kOnes * 0x06 & used)) & kOnes * 0xF0) != threes)
        return false;
    // The digits' values, the last in the top byte, so that the bytes below are leading zeros;
    // then pairs, fours and eights of digits are added up in place.
    word = (word - threes) << (8 * (8 - value.size()));
    word = ((word * 2561) >> 8) & 0x00FF00FF00FF00FFULL;
    word = ((word * 6553601) >> 16) & 0x0000FFFF0000FFFFULL;
    word = (word * 42949672960001ULL) >> 32;
    number = static_cast<std::int32_t>(word);
    return true;
}

// Every other form of a value; the number comes back through a reference (an optional is put
// together in memory and read back whole at once, which stalls the processor on every value of
// a large import).
bool ReadSlowly(std::string_view value, std::int32_t& result);

} // namespace ini_number

// The same, with `fallback` for a value that is no integer, for a reader of many values.
// `readable`, when given, is the end of the text the value lies in: the reader may look past
// the value up to it. Inline: nearly every value of a large import is a few plain digits, read
// at once without a call.
inline std::int32_t ParseIniIntegerOr(std::string_view value, std::int32_t fallback,
                                      const char* readable = nullptr) {
    std::int32_t number = 0;
    if (std::endian::native == std::endian::little && !value.empty() && value.size() <= 8 &&
        readable != nullptr && readable - value.data() >= 8 &&
        ini_number::PlainDigitsAtOnce(value, number))
        return number;
    return ini_number::ReadSlowly(value, number) ? number : fallback;
}

} // namespace kv
