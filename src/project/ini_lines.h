#pragma once

#include "text/ascii.h"
#include "text/byte_scan.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines of an INI text by the rules of the Windows profile functions, in one place for both
// readers: IniFile, which indexes every key of a small file, and the INI import, which reads a
// large project's sections straight into its records without an index.
//
// A line ends with LF, CR LF or a lone CR. A section begins with a line whose first non-blank
// byte is '[' and that holds a ']'; its name is what stands between them, without blanks. Inside
// a section, a line that begins with ';' is a comment, a line without '=' is ignored, and any
// other line is a key: the name before the first '=' and the value after it, both without blanks
// around them, the value also without one pair of enclosing quotation marks. Lines before the
// first section belong to none.
namespace kv {

namespace ini_rules {

constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The views are made from their bounds, with no check that they lie inside: a large import
// trims hundreds of thousands of names and values.
constexpr std::string_view TrimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return {s.data() + i, s.size() - i};
}

constexpr std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return {s.data(), n};
}

constexpr bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// Section and key names match without regard to ASCII letter case.
constexpr bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// A value the reader would strip one pair of quotes from.
constexpr bool Quoted(std::string_view s) {
    return s.size() >= 2 && IsQuote(s.front()) && s.back() == s.front();
}

// The position of the first LF or CR at or after `from`, or the text's size when there is none.
inline std::size_t FindLineEnd(std::string_view text, std::size_t from) {
    return byte_scan::FindFirstOf<'\n', '\r'>(text, from);
}

// Where the line that ends at `end` (as FindLineEnd gives it) is followed by the next one. A line
// end at the very end of the text begins no other line.
inline std::size_t NextLineStart(std::string_view text, std::size_t end) {
    if (end >= text.size()) return text.size();
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// The name of a section header line; nothing for any other line.
constexpr std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimLeft(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

} // namespace ini_rules

// A section of an INI text: the name its header gives and its lines, from the line after the
// header up to the next header line, whatever that one's name. Both are views into the text.
struct IniSection {
    std::string_view name;
    std::string_view lines;
};

// Every section of the text in file order, a repeated name as often as it stands. The text is
// split in `parts` side by side (0: one per processor for a large text, one for a small one);
// the sections are the same for any number of parts.
std::vector<IniSection> SplitIniSections(std::string_view text, std::size_t parts = 0);

// One key line of a section's lines: its name and value, and where in the lines it begins and
// where the line after it begins.
struct IniKey {
    std::string_view name;
    std::string_view value;
    std::size_t begin = 0;
    std::size_t next = 0;
};

// Every key line of a section's lines (which hold no header line) in file order, a repeated name
// as often as it stands: visit(const IniKey&). The first occurrence of a name is the one the
// profile functions read. Comments and lines without '=' are passed over. The bytes from the
// lines' start up to `readable` (their end when null) may be read, beyond the lines' own.
template <class Visit>
void ForEachIniKey(std::string_view lines, Visit&& visit, const char* readable = nullptr) {
    using namespace ini_rules;
    const char* const base = lines.data();
    const std::size_t size = lines.size();
    if (readable == nullptr) readable = base + size;
    for (std::size_t pos = 0; pos < size;) {
        std::size_t nameBegin = pos;
        std::size_t equals = 0;
        std::size_t end = 0;
        bool split = false; // the name's begin, the '=' and the end are known
#ifdef KV_SIXTEEN_BYTES
        // Most key lines begin with their name, and hold it and the '=' in their first sixteen
        // bytes, often the whole line: one look finds both. A large import is hundreds of
        // thousands of key lines.
        if (readable - (base + pos) >= 16) {
            const std::size_t left = size - pos;
            const unsigned inside = left >= 16 ? 0xFFFFu : (1u << left) - 1;
            const byte_scan::MarksAndEnds found =
                byte_scan::MarksAndEndsAt<'=', '\n', '\r'>(base + pos);
            const unsigned ends = found.ends & inside;
            const unsigned marks = found.marks & inside & ((ends & (0u - ends)) - 1);
            if (marks == 0 && ends != 0) { // a line without '='
                pos = NextLineStart(lines, pos + byte_scan::FirstHit(ends));
                continue;
            }
            const char first = base[pos];
            if (marks != 0 && !IsBlank(first) && first != ';') {
                split = true;
                equals = pos + byte_scan::FirstHit(marks);
                if (ends != 0) {
                    end = pos + byte_scan::FirstHit(ends);
                } else if (left <= 16) {
                    end = size;
                } else {
                    // A longer line, sixty-four bytes at a time while they may be read, then
                    // sixteen: a text line is mostly thirty to a hundred bytes, and a test of
                    // each sixteen of them costs a branch the processor often guesses wrong.
                    std::size_t at = pos + 16;
                    std::uint64_t hits = 0;
                    while (at < size && readable - (base + at) >= 64 &&
                           (hits = byte_scan::HitsIn64At<'\n', '\r'>(base + at)) == 0)
                        at += 64;
                    while (hits == 0 && at < size && readable - (base + at) >= 16 &&
                           (hits = byte_scan::HitsAt<'\n', '\r'>(base + at)) == 0)
                        at += 16;
                    if (hits != 0) end = std::min(size, at + byte_scan::FirstHit(hits));
                    else end = at >= size ? size : FindLineEnd(lines, at);
                }
            }
        }
#endif
        if (!split) { // any other line: its blanks, '=' and end found one by one
            while (nameBegin < size && IsBlank(lines[nameBegin]))
                ++nameBegin;
            const auto found = byte_scan::FindMarkAndEnd<'=', '\n', '\r'>(lines, nameBegin);
            equals = found.mark;
            end = found.end;
            if (equals == end || lines[nameBegin] == ';') {
                pos = NextLineStart(lines, end);
                continue;
            }
        }
        IniKey key;
        key.begin = pos;
        pos = NextLineStart(lines, end);
        key.name = {base + nameBegin, equals - nameBegin};
        while (!key.name.empty() && IsBlank(key.name.back()))
            key.name.remove_suffix(1);
        key.value = Trim({base + equals + 1, end - equals - 1});
        if (Quoted(key.value)) key.value = {key.value.data() + 1, key.value.size() - 2};
        key.next = pos;
        visit(key);
    }
}

// The text of an INI file's bytes: the bytes themselves, or for a file saved as Unicode (one
// that starts with a UTF-8 or UTF-16 byte-order mark) the Windows-1251 text they stand for, kept
// in `converted`. A file of 4 GiB or more throws Error("File too large"): IniFile keeps its
// offsets in 32 bits, and the import takes the same files as it.
std::string_view IniText(std::string_view bytes, std::string& converted);
// The same, for a reader that keeps the text.
std::string IniText(std::string bytes);

} // namespace kv
