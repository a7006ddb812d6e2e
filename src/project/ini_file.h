#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// An INI file held in memory with the rules of the Windows profile functions: sections and keys
// match without regard to ASCII letter case, the first occurrence of a section or a key counts,
// blanks around keys and values are dropped and one pair of enclosing quotation marks is removed.
// The file is parsed once; every lookup is answered from memory. Values are Windows-1251 bytes.
class IniFile {
public:
    IniFile() = default;
    static IniFile Parse(std::string_view bytes);
    // A missing file reads as an empty one; another read failure throws Error.
    static IniFile Load(const std::string& path);

    bool HasSection(std::string_view section) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    // Decimal with an optional minus sign, or hexadecimal after "0x"/"0X" when the value has
    // more than two characters; anything else gives fallback.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t fallback) const;

    // Changes an existing key in place, adds a missing key at the end of its section and a
    // missing section at the end of the file; every other line stays as it was.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

    // The whole file with CR LF line ends.
    std::string Serialize() const;
    // Replaces the file safely; throws Error("Unable to write to <path>").
    void Save(const std::string& path) const;

private:
    std::vector<std::string> lines_;
};

} // namespace kv
