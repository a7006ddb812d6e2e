#include "project/ini_file.h"

#include "project/ini_lines.h"

#include "text/ascii.h"
#include "text/error.h"
#include "text/file_io.h"
#include "text/paths.h"
#include "text/whole_number.h"

#include <bit>

namespace kv {
namespace {

using ini_rules::SameName;

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

// Appends every line of the text with a CR LF line end.
void AppendLines(std::string& out, std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = ini_rules::FindLineEnd(text, pos);
        out.append(text.substr(pos, end - pos)).append("\r\n");
        pos = ini_rules::NextLineStart(text, end);
    }
}

// A value as it goes into a line, so that reading it back gives exactly the value: a line
// break would end the line early and becomes a blank, and a value that the reader would strip
// (blanks at an end, or enclosing quotes) is put in quotes of its own.
std::string EncodeValue(std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    bool stripped =
        !text.empty() && (ini_rules::IsBlank(text.front()) || ini_rules::IsBlank(text.back()));
    if (stripped || ini_rules::Quoted(text)) return '"' + text + '"';
    return text;
}

} // namespace

namespace ini_number {

bool ReadSlowly(std::string_view value, std::int32_t& result) {
    if (!value.empty() && value.size() <= 9) {
        // Up to nine plain digits cannot overflow.
        std::int32_t number = 0;
        std::size_t i = 0;
        for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
            number = number * 10 + (value[i] - '0');
        if (i == value.size()) {
            result = number;
            return true;
        }
    }
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        std::uint64_t number = 0;
        for (char c : value.substr(2)) {
            const int digit = HexDigitValue(c);
            if (digit < 0) return false;
            number = number * 16 + static_cast<std::uint64_t>(digit);
            if (number > 0xFFFFFFFFULL) return false;
        }
        result = static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
        return true;
    }
    bool negative = !value.empty() && value.front() == '-';
    std::string_view digits = value.substr(negative ? 1 : 0);
    if (digits.empty()) return false;
    std::int64_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
        if (number > 2147483648LL) return false;
    }
    if (negative) number = -number;
    if (number > INT32_MAX) return false;
    result = static_cast<std::int32_t>(number);
    return true;
}

} // namespace ini_number

std::optional<std::int32_t> ParseIniInteger(std::string_view value) {
    std::int32_t number = 0;
    if (ini_number::ReadSlowly(value, number)) return number;
    return std::nullopt;
}

IniFile IniFile::Parse(std::string bytes) {
    IniFile file;
    file.text_ = IniText(std::move(bytes));
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
    auto spanOf = [&](std::string_view part) {
        return Span{static_cast<std::uint32_t>(part.data() - text.data()),
                    static_cast<std::uint32_t>(part.size())};
    };
    for (const IniSection& section : SplitIniSections(text)) {
        blocks_.push_back({spanOf(section.name), spanOf(section.lines),
                           static_cast<std::uint32_t>(keys_.size()), 0});
        ForEachIniKey(section.lines, [&](const IniKey& key) {
            keys_.push_back({spanOf(key.name), spanOf(key.value)});
            ++blocks_.back().keyCount;
        }, text.data() + text.size());
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
    return ParseIniIntegerOr(*value, fallback);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string encoded = EncodeValue(value);
    std::string_view text(text_);
    // The new key line takes the place of the text from cut to resume: the line of the key, or
    // nothing after the section's last key line (after its header when it has no key). A
    // missing section goes at the end.
    std::size_t cut = text.size();
    std::size_t resume = text.size();
    std::string_view keyName = key;
    const Block* block = FindBlock(section);
    if (block) {
        const std::string_view lines = View(block->lines);
        const std::size_t offset = block->lines.begin;
        cut = resume = offset;
        bool found = false;
        ForEachIniKey(lines, [&](const IniKey& line) {
            if (found) return;
            if (SameName(line.name, key)) {
                found = true;
                cut = offset + line.begin;
                keyName = line.name; // the key keeps the spelling it has in the file
            } else {
                cut = offset + line.next;
            }
            resume = offset + line.next;
        });
    }

    std::string out;
    out.reserve(text_.size() + text_.size() / 16 + section.size() + key.size() + encoded.size() +
                16);
    AppendLines(out, text.substr(0, cut));
    if (!block) out.append("[").append(section).append("]\r\n");
    out.append(keyName).append("=").append(encoded).append("\r\n");
    AppendLines(out, text.substr(resume));
    *this = Parse(std::move(out));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, FormatNumber(value));
}

std::string IniFile::Serialize() const {
    std::string_view text(text_);
    std::string out;
    out.reserve(text_.size() + text_.size() / 16 + 2);
    AppendLines(out, text);
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
