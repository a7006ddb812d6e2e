#pragma once

#include <cstdint>
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
// line without
// '=' inside a section, and every line before the first section, is ignored. The rules for lines
// are in project/ini_lines.h, which the INI import shares.
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
// The same, with `fallback` for a value that is no integer, for a reader of many values.
// `readable`, when given, is the end of the text the value lies in: the reader may look past
// the value up to it.
std::int32_t ParseIniIntegerOr(std::string_view value, std::int32_t fallback,
                               const char* readable = nullptr);

} // namespace kv
