#include "project/ini_file.h"

#include "text/ascii.h"
#include "text/cp1251.h"
#include "text/error.h"
#include "text/file_io.h"
#include "text/paths.h"
#include "text/whole_number.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kv {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return s.substr(0, n);
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool Quoted(std::string_view s) {
    return s.size() >= 2 && IsQuote(s.front()) && s.back() == s.front();
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

std::uint64_t HashName(std::string_view name) {
    std::uint64_t h = 14695981039346656037ULL;
    for (char c : name) {
        h ^= static_cast<unsigned char>(FoldAscii(c));
        h *= 1099511628211ULL;
    }
    return h;
}

// Open addressing with linear probing in a table of a power-of-two size (at least 2) whose
// slots hold an index + 1, 0 being free. Returns the slot that holds an equal name, or the free
// slot where the name would go.
template <class NameOf>
std::size_t Probe(const std::uint32_t* slots, std::size_t count, std::string_view name,
                  NameOf nameOf) {
    const int shift = 64 - std::countr_zero(count);
    std::size_t i = static_cast<std::size_t>((HashName(name) * 0x9E3779B97F4A7C15ULL) >> shift);
    while (slots[i] != 0 && !SameName(nameOf(slots[i] - 1), name))
        i = (i + 1) & (count - 1);
    return i;
}

// The lines of a text, each without its line end (LF, CR LF or a lone CR). A line end at the
// very end of the text does not begin another line.
//
// Line ends are found by the library's scans, several times faster than a look at each byte.
// The next LF and the next CR are each found once and kept until the lines reach them, so a
// file whose lines all end one way is scanned for the other end only once.
class Lines {
public:
    explicit Lines(std::string_view text)
        : text_(text), lf_(Find('\n')), cr_(Find('\r')) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    std::string_view Next() {
        if (lf_ < pos_) lf_ = Find('\n');
        if (cr_ < pos_) cr_ = Find('\r');
        const std::size_t begin = pos_;
        const std::size_t end = std::min(lf_, cr_);
        pos_ = end;
        if (pos_ < text_.size()) {
            pos_ += text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n' ? 2 : 1;
        }
        return text_.substr(begin, end - begin);
    }

private:
    // The position of the next c from here on; the text's size when there is none.
    std::size_t Find(char c) const {
        const void* found = std::memchr(text_.data() + pos_, c, text_.size() - pos_);
        return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data())
                     : text_.size();
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t lf_;
    std::size_t cr_;
};

// Counted in blocks of a fixed size, which the compiler turns into a few vector instructions
// for each block: a tenth of the time of a test of one byte after the other.
std::size_t CountLineFeeds(std::string_view text) {
    constexpr std::size_t kBlock = 64; // fewer than 256 line feeds, so a byte holds the count
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i + kBlock <= text.size(); i += kBlock) {
        unsigned char inBlock = 0;
        for (std::size_t j = 0; j < kBlock; ++j) inBlock += text[i + j] == '\n' ? 1 : 0;
        count += inBlock;
    }
    for (; i < text.size(); ++i) count += text[i] == '\n' ? 1 : 0;
    return count;
}

// One line as the profile rules see it.
struct LineParts {
    enum class Kind { Other, Section, Key } kind = Kind::Other;
    std::string_view name;
    std::string_view value; // of a key: without blanks around it and one pair of quotes
};

LineParts ClassifyLine(std::string_view line) {
    std::string_view s = TrimLeft(line);
    if (s.empty() || s.front() == ';') return {};
    if (s.front() == '[') {
        std::size_t close = s.find(']');
        if (close != std::string_view::npos) {
            return {LineParts::Kind::Section, Trim(s.substr(1, close - 1)), {}};
        }
    }
    std::size_t eq = s.find('=');
    if (eq == std::string_view::npos) return {};
    std::string_view value = Trim(s.substr(eq + 1));
    if (Quoted(value)) value = value.substr(1, value.size() - 2);
    return {LineParts::Kind::Key, Trim(s.substr(0, eq)), value};
}

// A value as it goes into a line, so that reading it back gives exactly the value: a line
// break would end the line early and becomes a blank, and a value that the reader would strip
// (blanks at an end, or enclosing quotes) is put in quotes of its own.
std::string EncodeValue(std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    bool stripped = !text.empty() && (IsBlank(text.front()) || IsBlank(text.back()));
    if (stripped || Quoted(text)) return '"' + text + '"';
    return text;
}

} // namespace

std::optional<std::int32_t> ParseIniInteger(std::string_view value) {
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        std::uint64_t number = 0;
        for (char c : value.substr(2)) {
            const int digit = HexDigitValue(c);
            if (digit < 0) return std::nullopt;
            number = number * 16 + static_cast<std::uint64_t>(digit);
            if (number > 0xFFFFFFFFULL) return std::nullopt;
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    }
    bool negative = !value.empty() && value.front() == '-';
    std::string_view digits = value.substr(negative ? 1 : 0);
    if (digits.empty()) return std::nullopt;
    std::int64_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
        if (number > 2147483648LL) return std::nullopt;
    }
    if (negative) number = -number;
    if (number > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(number);
}

IniFile IniFile::Parse(std::string bytes) {
    // Offsets into the text are 32-bit to keep the index of a large import small.
    if (bytes.size() >= 0xFFFFFFFFULL) throw Error("File too large");
    IniFile file;
    // A file saved as Unicode is read as the Windows-1251 text it stands for.
    file.text_ = HasByteOrderMark(bytes) ? UnicodeToCp1251(bytes) : std::move(bytes);
    file.BuildIndex();
    return file;
}

IniFile IniFile::Load(const std::string& path) {
    if (!PathExists(path)) return IniFile{};
    return Parse(ReadWholeFile(path));
}

void IniFile::BuildIndex() {
    blocks_.clear();
    keys_.clear();
    sectionSlots_.clear();

    std::string_view text(text_);
    // Nearly every line of a large file is a key: room for one each up front spares the copies
    // of a growing index (and the moment when both copies are in memory). Room that is never
    // used is never touched and costs no memory.
    keys_.reserve(CountLineFeeds(text) + 1);
    auto spanOf = [&](std::string_view part) {
        return Span{static_cast<std::uint32_t>(part.data() - text.data()),
                    static_cast<std::uint32_t>(part.size())};
    };

    std::uint32_t lineNumber = 0;
    for (Lines lines(text); !lines.AtEnd(); ++lineNumber) {
        LineParts parts = ClassifyLine(lines.Next());
        if (parts.kind == LineParts::Kind::Section) {
            blocks_.push_back({spanOf(parts.name), lineNumber, lineNumber,
                               static_cast<std::uint32_t>(keys_.size()), 0});
        } else if (parts.kind == LineParts::Kind::Key && !blocks_.empty()) {
            // Keys before the first section belong to none and are ignored.
            keys_.push_back({spanOf(parts.name), spanOf(parts.value)});
            ++blocks_.back().keyCount;
            blocks_.back().lastKeyLine = lineNumber;
        }
    }

    if (blocks_.empty()) return;
    sectionSlots_.assign(std::bit_ceil(blocks_.size() * 2), 0);
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        std::uint32_t& slot = sectionSlots_[SectionSlot(View(blocks_[b].name))];
        if (slot == 0) slot = static_cast<std::uint32_t>(b + 1);
    }
}

std::size_t IniFile::SectionSlot(std::string_view section) const {
    return Probe(sectionSlots_.data(), sectionSlots_.size(), section,
                 [this](std::uint32_t b) { return View(blocks_[b].name); });
}

const IniFile::Block* IniFile::FindBlock(std::string_view section) const {
    if (sectionSlots_.empty()) return nullptr;
    std::uint32_t slot = sectionSlots_[SectionSlot(section)];
    return slot != 0 ? &blocks_[slot - 1] : nullptr;
}

const IniFile::Key* IniFile::FindKey(const Block& block, std::string_view key) const {
    for (std::uint32_t k = block.firstKey; k < block.firstKey + block.keyCount; ++k) {
        if (SameName(View(keys_[k].name), key)) return &keys_[k]; // the first occurrence
    }
    return nullptr;
}

IniFile::Section IniFile::FindSection(std::string_view section) const {
    Section result;
    if (const Block* block = FindBlock(section)) {
        result.file_ = this;
        result.block_ = static_cast<std::uint32_t>(block - blocks_.data());
    }
    return result;
}

std::optional<std::string_view> IniFile::Section::Find(std::string_view key) const {
    if (!file_) return std::nullopt;
    const Key* found = file_->FindKey(file_->blocks_[block_], key);
    if (!found) return std::nullopt;
    return file_->View(found->value);
}

bool IniFile::HasSection(std::string_view section) const {
    return static_cast<bool>(FindSection(section));
}

std::optional<std::string_view> IniFile::Find(std::string_view section,
                                              std::string_view key) const {
    return FindSection(section).Find(key);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    return std::string(Find(section, key).value_or(fallback));
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t fallback) const {
    std::optional<std::string_view> value = Find(section, key);
    if (!value) return fallback;
    return ParseIniInteger(*value).value_or(fallback);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string encoded = EncodeValue(value);
    std::string_view text(text_);
    std::vector<std::string_view> lines;
    for (Lines reader(text); !reader.AtEnd();)
        lines.push_back(reader.Next());

    const Block* found = FindBlock(section);
    std::size_t replaceAt = lines.size();
    std::size_t insertAfter = lines.size();
    std::string_view keyName = key;
    if (found) {
        const Block& block = *found;
        insertAfter = block.lastKeyLine;
        for (std::size_t i = block.headerLine + 1; i <= block.lastKeyLine; ++i) {
            LineParts parts = ClassifyLine(lines[i]);
            if (parts.kind == LineParts::Kind::Key && SameName(parts.name, key)) {
                replaceAt = i;
                keyName = parts.name; // the key keeps the spelling it has in the file
                break;
            }
        }
    }

    std::string out;
    out.reserve(text_.size() + lines.size() + section.size() + key.size() + encoded.size() + 16);
    auto addKeyLine = [&] { out.append(keyName).append("=").append(encoded).append("\r\n"); };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == replaceAt)
            addKeyLine();
        else
            out.append(lines[i]).append("\r\n");
        if (i == insertAfter && replaceAt == lines.size()) addKeyLine();
    }
    if (!found) {
        out.append("[").append(section).append("]\r\n");
        addKeyLine();
    }
    *this = Parse(std::move(out));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, FormatNumber(value));
}

std::string IniFile::Serialize() const {
    std::string_view text(text_);
    std::string out;
    out.reserve(text_.size() + text_.size() / 16 + 2);
    for (Lines lines(text); !lines.AtEnd();)
        out.append(lines.Next()).append("\r\n");
    return out;
}

void IniFile::Save(const std::string& path) const {
    std::string content = Serialize();
    try {
        ReplaceFileSafely(path, content);
    } catch (const Error&) {
        throw Error("Unable to write to " + path);
    }
}

} // namespace kv
