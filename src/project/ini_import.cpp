#include "project/ini_import.h"

#include "model/fields.h"
#include "project/ini_file.h"
#include "project/ini_lines.h"
#include "text/ascii.h"
#include "text/error.h"
#include "text/fixed_string.h"
#include "text/file_io.h"
#include "text/parallel.h"
#include "text/stored_text.h"
#include "text/whole_number.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace kv {
namespace {

// A number of a dialog section: a value that is no integer reads as 0, as a missing key does.
std::int32_t Number(std::string_view value) { return ParseIniInteger(value).value_or(0); }

// Where the values of a dialog section go: the record, a scratch set of its twelve answer
// records that the record takes over at the end, in one block of the size it needs (writing the
// record's own slots would make all twelve and then trim them), and the packer that puts the
// record's texts into one block it keeps (one allocation instead of one for every text).
struct DialogTarget {
    TDialogItem& dialog;
    std::array<TVariantData, kSlotCount>& slots;
    TextPacker& texts;
    std::size_t usedSlots = 0; // one past the last scratch record given a value
};

// Stores a value as its field keeps it: a text cut to the capacity, a number to its width.
template <class T> void Assign(T& field, std::string_view value) {
    if constexpr (std::is_integral_v<T>)
        field = static_cast<T>(static_cast<std::uint64_t>(std::int64_t{Number(value)}));
    else
        field = value;
}
// The same for a field of the record itself, whose texts go into the record's block.
template <class T> void AssignInRecord(T& field, DialogTarget& target, std::string_view value) {
    if constexpr (std::is_integral_v<T>)
        Assign(field, value);
    else
        target.texts.Add(field, value);
}

template <class> constexpr bool kIsLinesOrSlots = false;
template <class T, std::size_t N> constexpr bool kIsLinesOrSlots<std::array<T, N>> = true;

// Stores a value into the field that `member` (of type T R::*) names, at the line or slot
// `index` where the field has one. Made for every member type of the table of fields, so that a
// key costs one call and no look at the type of its field. An answer's text (FailOn) takes a
// block of its own, as it moves from the scratch set into the record.
template <class R, class T>
void StoreInto(const FieldMember& member, DialogTarget& target, std::size_t index,
               std::string_view value) {
    const auto m = *std::get_if<T R::*>(&member);
    if constexpr (std::is_same_v<R, TVariantData>) {
        Assign(target.slots[index].*m, value);
        target.usedSlots = std::max(target.usedSlots, index + 1);
    } else if constexpr (kIsLinesOrSlots<T>)
        AssignInRecord((target.dialog.*m)[index], target, value);
    else
        AssignInRecord(target.dialog.*m, target, value);
}
using Store = void (*)(const FieldMember&, DialogTarget&, std::size_t, std::string_view);

// What one key of a dialog section fills: a field of the record, and the text line or the slot.
struct DialogField {
    FieldId id;
    int index = 0;
    Store store = nullptr;
    const FieldMember* member = nullptr;
};

// Every key a dialog section may hold, from the table of fields: "hint", "text1".."text30", and
// the slot keys with their slot number ("skill0", "givemyth11"), in any letter case. A key is
// its field's name and then, for a line or a slot, the number in plain decimal; no field's name
// holds a digit. The name is found in a small table of its own and the number is read, so a key
// costs a few dozen instructions: a large import is hundreds of thousands of keys.
class DialogFields {
public:
    DialogFields() {
        for (const FieldInfo& f : kFields) {
            if (f.iniKey.empty() || f.scope == FieldScope::Project) continue;
            if (f.iniKey.size() > kLongestName) throw Error("INI key too long");
            const Folded folded = Fold(f.iniKey);
            std::size_t slot = Hash(folded);
            while (names_[slot].size != 0) slot = (slot + 1) % kSlots;
            Name& name = names_[slot];
            name.folded = folded;
            name.size = static_cast<std::uint8_t>(f.iniKey.size());
            name.id = f.id;
            name.scope = f.scope;
            name.member = &f.member;
            name.store = std::visit(
                []<class R, class T>(T R::*) -> Store {
                    if constexpr (std::is_same_v<R, Project>)
                        return nullptr; // no project field has a key in a dialog section
                    else
                        return &StoreInto<R, T>;
                },
                f.member);
        }
    }

    std::optional<DialogField> Find(std::string_view key) const {
        std::size_t digits = key.size();
        while (digits > 0 && key[digits - 1] >= '0' && key[digits - 1] <= '9') --digits;
        const std::string_view name = key.substr(0, digits);
        const std::string_view number = key.substr(digits);
        if (name.empty() || name.size() > kLongestName) return std::nullopt;
        const Folded folded = Fold(name);
        for (std::size_t slot = Hash(folded); names_[slot].size != 0; slot = (slot + 1) % kSlots) {
            const Name& candidate = names_[slot];
            if (candidate.size == name.size() && candidate.folded == folded)
                return WithNumber(candidate, number);
        }
        return std::nullopt;
    }

private:
    static constexpr std::size_t kLongestName = 14; // "variantdefault"
    static constexpr std::size_t kSlots = 128;      // a power of two, a quarter full

    // A name of at most 16 bytes in two words, ASCII letters in lower case and zeros after its
    // end: two names of the same length match when their words do, without a look at each
    // letter (a name may hold a zero byte itself).
    struct Folded {
        std::uint64_t words[2] = {};
        bool operator==(const Folded&) const = default;
    };
    static Folded Fold(std::string_view name) {
        char bytes[16] = {};
        std::memcpy(bytes, name.data(), std::min(name.size(), sizeof bytes));
        Folded folded;
        for (std::size_t w = 0; w < 2; ++w) {
            std::memcpy(&folded.words[w], bytes + 8 * w, 8);
            folded.words[w] = FoldAsciiWord(folded.words[w]);
        }
        return folded;
    }

    struct Name {
        Folded folded;
        std::uint8_t size = 0; // 0: a free slot
        FieldId id = FieldId::Hint;
        FieldScope scope = FieldScope::Dialog;
        Store store = nullptr;
        const FieldMember* member = nullptr;
    };

    static std::size_t Hash(const Folded& name) {
        const std::uint64_t mixed = (name.words[0] ^ (name.words[1] * 31)) * 0x9E3779B97F4A7C15ULL;
        return static_cast<std::size_t>(mixed >> 57); // the top seven bits: one of 128 slots
    }

    // The line or slot a key's number names, in plain decimal ("text01" is no key); none when
    // the field takes no number or the number names no line or slot.
    static std::optional<DialogField> WithNumber(const Name& name, std::string_view number) {
        if (name.scope == FieldScope::Dialog) {
            if (!number.empty()) return std::nullopt;
            return DialogField{name.id, 0, name.store, name.member};
        }
        if (number.empty() || number.size() > 2 || (number.size() == 2 && number[0] == '0'))
            return std::nullopt;
        int value = 0;
        for (char c : number) value = value * 10 + (c - '0');
        // Message lines count from 1 in their keys, slots from 0.
        if (name.scope == FieldScope::Line) {
            if (value < 1 || value > kTextLineCount) return std::nullopt;
            return DialogField{name.id, value - 1, name.store, name.member};
        }
        if (value >= kSlotCount) return std::nullopt;
        return DialogField{name.id, value, name.store, name.member};
    }

    std::array<Name, kSlots> names_{};
};

// Reads the lines of one dialog section into a blank record; a missing key or an unreadable
// number leaves the field blank, and a key that names no field is passed over. Numbers are
// stored into their field's width, keeping the low bits. The first occurrence of a key counts: a
// field already filled from this section is not filled again. `slots` is blank and left blank,
// and `texts` holds nothing before and after.
void ReadDialog(std::string_view lines, TDialogItem& d,
                std::array<TVariantData, kSlotCount>& slots, TextPacker& texts) {
    static const DialogFields fields;
    DialogTarget target{d, slots, texts};
    // One mark for every field and line or slot; kTextLineCount is the most of either.
    std::bitset<kFieldCount * kTextLineCount> filled;
    ForEachIniKey(lines, [&](const IniKey& key) {
        const std::optional<DialogField> field = fields.Find(key.name);
        if (!field) return;
        const auto mark = static_cast<std::size_t>(field->id) * kTextLineCount +
                          static_cast<std::size_t>(field->index);
        if (filled[mark]) return;
        filled[mark] = true;
        field->store(*field->member, target, static_cast<std::size_t>(field->index), key.value);
    });
    texts.Pack(d.Packed);
    d.Variants.TakeFrom(slots, target.usedSlots);
}

// The least dialogs worth a part of their own, read side by side with the others: starting a
// thread costs about as much as reading a few dozen dialogs.
constexpr std::size_t kLeastDialogsPerPart = 250;

// The function number whose dialog a section holds: the section is named by the number in plain
// decimal, as FormatNumber writes it ("01000", "+5" and "-0" are no dialog's). Nothing for any
// other name.
std::optional<std::int64_t> SectionNumber(std::string_view name) {
    const bool negative = !name.empty() && name.front() == '-';
    const std::string_view digits = name.substr(negative ? 1 : 0);
    // Ten digits hold every 32-bit number and cannot overflow 64 bits.
    if (digits.empty() || digits.size() > 10) return std::nullopt;
    if (digits[0] == '0' && (digits.size() > 1 || negative)) return std::nullopt;
    std::int64_t number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return negative ? -number : number;
}

// The project of an INI text. The file is read in one pass over its sections, straight into the
// records: a large project is hundreds of thousands of key lines, and an index of them all
// would cost more than reading them.
Project ImportFromIni(std::string_view text) {
    const std::vector<IniSection> sections = SplitIniSections(text);

    // Section Main, its first occurrence, and the first occurrence of each of its keys.
    std::optional<std::string_view> functionStart, functionEnd, scriptFile;
    const auto main = std::find_if(sections.begin(), sections.end(), [](const IniSection& s) {
        return ini_rules::SameName(s.name, "Main");
    });
    if (main != sections.end()) {
        ForEachIniKey(main->lines, [&](const IniKey& key) {
            for (auto [name, found] :
                 {std::pair{"FunctionStart", &functionStart},
                  std::pair{"FunctionEnd", &functionEnd}, std::pair{"ScriptFile", &scriptFile}}) {
                if (!*found && ini_rules::SameName(key.name, name)) *found = key.value;
            }
        });
    }
    auto mainNumber = [](std::optional<std::string_view> value) -> std::optional<std::int64_t> {
        if (!value) return std::nullopt;
        return ParseIniInteger(*value);
    };

    Project project;
    project.FunctionStart = static_cast<std::int32_t>(mainNumber(functionStart).value_or(1000));
    project.ScriptFile = StorableText(scriptFile.value_or(""));

    // In 64 bits, so that neither the default end nor the count can overflow.
    const std::int64_t first = project.FunctionStart;
    const std::int64_t last = mainNumber(functionEnd).value_or(first - 1);
    if (last - first + 1 > kMaxImportedDialogs) {
        throw Error("Слишком большой диапазон функций: " + FormatNumber(first) + ".." +
                    FormatNumber(last) + " (не больше " + FormatNumber(kMaxImportedDialogs) +
                    " диалогов)");
    }
    const auto count = static_cast<std::size_t>(std::max<std::int64_t>(0, last - first + 1));

    // The first section of each number of the range.
    std::vector<const IniSection*> sectionOf(count, nullptr);
    for (const IniSection& section : sections) {
        const std::optional<std::int64_t> n = SectionNumber(section.name);
        if (!n || *n < first || *n > last) continue;
        const IniSection*& slot = sectionOf[static_cast<std::size_t>(*n - first)];
        if (!slot) slot = &section;
    }

    // The records are made first, so that the place of every dialog is known. Then the sections
    // are read in parts side by side, each part into a list of its own, and every answer is
    // linked as it is read: the numbers of the range are the dialogs' own, one each, so a
    // follow-up's dialog is the one at its number's place.
    const std::size_t parts = PartsFor(count, kLeastDialogsPerPart);
    auto range = [&](std::size_t k) { return std::pair{count * k / parts, count * (k + 1) / parts}; };
    std::vector<std::unique_ptr<TDialogItem>> records(count);
    std::vector<TDialogItem*> placeOf(count);
    RunParts(parts, [&](std::size_t k) {
        for (auto [i, end] = range(k); i < end; ++i) {
            records[i] = std::make_unique<TDialogItem>();
            placeOf[i] = records[i].get();
        }
    });
    std::vector<Project> lists(parts);
    RunParts(parts, [&](std::size_t k) {
        std::array<TVariantData, kSlotCount> slots;
        TextPacker texts;
        for (auto [i, end] = range(k); i < end; ++i) {
            TDialogItem& dialog = *records[i];
            dialog.FunctionNumber = static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
            if (sectionOf[i]) ReadDialog(sectionOf[i]->lines, dialog, slots, texts);
            for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
                const std::int64_t place = std::int64_t{dialog.Function[slot]} - first;
                dialog.LinkDialog[slot] = place >= 0 && place < static_cast<std::int64_t>(count)
                                              ? placeOf[static_cast<std::size_t>(place)]
                                              : nullptr;
            }
            lists[k].AppendDialog(std::move(records[i]));
        }
    });
    for (Project& list : lists)
        project.AppendDialogs(std::move(list));
    project.Modified = false;
    return project;
}

} // namespace

Project ImportIniProject(std::string_view bytes) {
    return ImportFromIni(IniText(std::string(bytes)));
}

Project ImportIniFile(const std::string& path) {
    std::string bytes = ReadWholeFile(path);
    try {
        return ImportFromIni(IniText(std::move(bytes)));
    } catch (const Error& e) {
        throw Error(CannotReadText(path, 0, e.what()));
    }
}

} // namespace kv
