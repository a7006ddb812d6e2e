#include "project/ini_import.h"

#include "model/fields.h"
#include "project/ini_file.h"
#include "project/ini_lines.h"
#include "text/ascii.h"
#include "text/error.h"
#include "text/file_io.h"
#include "text/fixed_string.h"
#include "text/parallel.h"
#include "text/stored_text.h"
#include "text/whole_number.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
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
// The bytes of the text up to `readable` may be read, beyond the value's own.
std::int32_t Number(std::string_view value, const char* readable) {
    return ParseIniIntegerOr(value, 0, readable);
}

// Where the values of a dialog section go: the record, its twelve answer records, which lie in
// the block the record shares with other records until the blank ones at the end are given
// back, and the packer through which the record keeps its texts, either where they lie in the
// imported text (a copy of every text would cost more than the reading) or copied into that
// block after its answers.
struct DialogTarget {
    TDialogItem& dialog;
    TVariantData* slots;
    TextPacker& texts;
    char* text;                // the imported text when the records keep their texts in it
    const char* readable;      // how far past a value reading ahead is safe
    bool storable = false;     // no text of the section needs MakeStorable
    std::size_t usedSlots = 0; // one past the last answer given a value
};

// Stores a value as its field keeps it: a number to its width, keeping the low bits, and a text
// cut to its capacity, which the record keeps where it lies, or copied once the answers are done
// with (so that the blank ones can be given back first).
template <class T> void Assign(T& field, DialogTarget& target, std::string_view value) {
    if constexpr (std::is_integral_v<T>)
        field = static_cast<T>(
            static_cast<std::uint64_t>(std::int64_t{Number(value, target.readable)}));
    else if (target.text)
        target.texts.PutInPlace(field, target.text + (value.data() - target.text), value.size(),
                                !target.storable, target.dialog.Packed);
    else if (target.storable)
        target.texts.AddStorable(field, value);
    else
        target.texts.Add(field, value);
}

template <class> constexpr bool kIsLinesOrSlots = false;
template <class T, std::size_t N> constexpr bool kIsLinesOrSlots<std::array<T, N>> = true;

// Stores a value into the field that `member` (of type T R::*) names, at the line or slot
// `index` where the field has one. Made for every member type of the table of fields, so that a
// key costs one call and no look at the type of its field.
template <class R, class T>
void StoreInto(const FieldMember& member, DialogTarget& target, std::size_t index,
               std::string_view value) {
    const auto m = *std::get_if<T R::*>(&member);
    if constexpr (std::is_same_v<R, TVariantData>) {
        Assign(target.slots[index].*m, target, value);
        target.usedSlots = std::max(target.usedSlots, index + 1);
    } else if constexpr (kIsLinesOrSlots<T>)
        Assign((target.dialog.*m)[index], target, value);
    else
        Assign(target.dialog.*m, target, value);
}
using Store = void (*)(const FieldMember&, DialogTarget&, std::size_t, std::string_view);

// Every key a dialog section may hold, whole, from the table of fields: "hint", "text1".."text30"
// and the slot keys with their slot number ("skill0", "givemyth11"), in any letter case. A line
// or a slot is named by its number in plain decimal ("text01" is no key). Every whole key fits in
// two words, so a key line's name is looked up with two loads, a fold of eight letters at a time
// and one probe, with no look at its letters or digits one by one: a large import is hundreds of
// thousands of keys.
class DialogKeys {
public:
    static constexpr std::size_t kMostKeys = 512; // the marks FilledKeys keeps

    // What one key fills: a field (an index into the targets, see TargetOf), its line or slot,
    // and the key's mark among all the keys a section may hold (only a key's first line counts).
    struct Key {
        std::uint64_t low = 0, high = 0; // the key folded, as Fold gives it
        std::uint8_t size = 0;
        std::uint8_t field = 0;
        std::uint8_t index = 0;
        std::uint16_t mark = 0;
    };
    // How a key's value is stored into its field.
    struct Target {
        Store store = nullptr;
        const FieldMember* member = nullptr;
    };

    DialogKeys() {
        std::vector<Key> all;
        for (std::size_t field = 0; field < kFields.size(); ++field) {
            const FieldInfo& f = kFields[field];
            if (f.iniKey.empty() || f.scope == FieldScope::Project) continue;
            targets_[field].member = &f.member;
            targets_[field].store = std::visit(
                []<class R, class T>(T R::*) -> Store {
                    if constexpr (std::is_same_v<R, Project>)
                        return nullptr; // no project field has a key in a dialog section
                    else
                        return &StoreInto<R, T>;
                },
                f.member);
            auto add = [&](const std::string& name, int index) {
                if (name.size() > kLongest) throw Error("INI key table");
                Key key = Fold(name.data(), name.size(), name.data() + name.size());
                key.field = static_cast<std::uint8_t>(field);
                key.index = static_cast<std::uint8_t>(index);
                all.push_back(key);
            };
            const std::string name(f.iniKey);
            if (f.scope == FieldScope::Dialog) add(name, 0);
            // Message lines count from 1 in their keys, slots from 0.
            for (int n = 1; f.scope == FieldScope::Line && n <= kTextLineCount; ++n)
                add(name + std::to_string(n), n - 1);
            for (int n = 0; f.scope == FieldScope::Slot && n < kSlotCount; ++n)
                add(name + std::to_string(n), n);
        }
        if (all.size() > kMostKeys) throw Error("INI key table");
        // The first lines and slots, which most sections fill, side by side in few cache lines.
        std::stable_sort(all.begin(), all.end(),
                         [](const Key& a, const Key& b) { return a.index < b.index; });
        for (std::size_t mark = 0; mark < all.size(); ++mark) {
            keys_[mark] = all[mark];
            keys_[mark].mark = static_cast<std::uint16_t>(mark);
            std::size_t slot = Hash(all[mark]);
            while (slots_[slot] != 0)
                slot = (slot + 1) % kSlots;
            slots_[slot] = static_cast<std::uint16_t>(mark + 1);
        }
    }

    // The key's entry; null for a key that names no field. The bytes of the text up to
    // `readable` may be read, beyond the key's own.
    const Key* Find(std::string_view name, const char* readable) const {
        if (name.empty() || name.size() > kLongest) return nullptr;
        const Key folded = Fold(name.data(), name.size(), readable);
        for (std::size_t slot = Hash(folded); slots_[slot] != 0; slot = (slot + 1) % kSlots) {
            const Key& candidate = keys_[slots_[slot] - 1];
            if (candidate.size == folded.size && candidate.low == folded.low &&
                candidate.high == folded.high)
                return &candidate;
        }
        return nullptr;
    }
    const Target& TargetOf(const Key& key) const { return targets_[key.field]; }

private:
    static constexpr std::size_t kLongest = 16; // "variantdefault" and "dvariable11" fit
    static constexpr std::size_t kSlots = 1024; // a power of two, a third full

    // A name of at most 16 bytes in two words, ASCII letters in lower case and zeros after its
    // end: two names of the same length match when their words do (a name may hold a zero byte).
    static Key Fold(const char* bytes, std::size_t size, const char* readable) {
        std::uint64_t low = 0, high = 0;
        if (std::endian::native == std::endian::little && readable - bytes >= 16) {
            // Sixteen bytes at once, and the ones past the name's end masked off: copying the
            // name's bytes alone (a copy of a varying length) and loading them back costs more.
            // The words stay in registers: a store and a wider load of the same bytes stall.
            std::memcpy(&low, bytes, 8);
            std::memcpy(&high, bytes + 8, 8);
            low &= byte_scan::FirstBytes(size);
            high &= size <= 8 ? 0 : byte_scan::FirstBytes(size - 8);
        } else {
            char padded[16] = {};
            std::memcpy(padded, bytes, size);
            std::memcpy(&low, padded, 8);
            std::memcpy(&high, padded + 8, 8);
        }
        Key key;
        key.low = FoldAsciiWord(low);
        key.high = FoldAsciiWord(high);
        key.size = static_cast<std::uint8_t>(size);
        return key;
    }

    static std::size_t Hash(const Key& key) {
        const std::uint64_t mixed = (key.low ^ (key.high * 31)) * 0x9E3779B97F4A7C15ULL;
        return static_cast<std::size_t>(mixed >> 54); // the top ten bits: one of 1024 slots
    }

    // The keys, and for each slot of the hash table one past the index of its key (0: free). The
    // table of small indices stays in the nearest cache while a large file streams through it.
    std::array<Key, kMostKeys> keys_{};
    std::array<std::uint16_t, kSlots> slots_{};
    std::array<Target, kFieldCount> targets_{};
};

// The keys of a section that have filled their field: a key counts only once in a section. A
// mark per key says the last section in which it filled its field, so that nothing needs
// clearing from one section to the next.
class FilledKeys {
public:
    void NextSection() {
        if (++section_ == 0) { // once in four billion sections
            seen_.fill(0);
            section_ = 1;
        }
    }
    // True when the key had not filled its field in this section yet; it has now.
    bool Fill(std::size_t mark) {
        if (seen_[mark] == section_) return false;
        seen_[mark] = section_;
        return true;
    }

private:
    std::array<std::uint32_t, DialogKeys::kMostKeys> seen_{};
    std::uint32_t section_ = 0;
};

// Reads the lines of one dialog section into a blank record; a missing key or an unreadable
// number leaves the field blank, and a key that names no field is passed over. Numbers are
// stored into their field's width, keeping the low bits. The first occurrence of a key counts: a
// field already filled from this section is not filled again. `texts` holds nothing before
// and after. The section's texts are left where they lie in `text`, or copied when it is null.
// The bytes up to `readable` may be read, beyond the lines'.
void ReadDialog(std::string_view lines, char* text, const char* readable, TDialogItem& d,
                TextPacker& texts, FilledKeys& filled) {
    static const DialogKeys keys;
    // A value holds no line end, and a text that holds no byte 26 either is stored as it
    // stands; one look at the whole section says so for all its texts.
    const bool storable = lines.find('\x1A') == std::string_view::npos;
    DialogTarget target{d, d.Variants.FillInPlace(texts, d.Packed), texts, text, readable,
                        storable};
    filled.NextSection();
    ForEachIniKey(lines, [&](const IniKey& line) {
        const DialogKeys::Key* key = keys.Find(line.name, readable);
        if (!key || !filled.Fill(key->mark)) return;
        const DialogKeys::Target& field = keys.TargetOf(*key);
        field.store(*field.member, target, key->index, line.value);
    }, readable);
    d.Variants.EndFill(target.usedSlots, texts);
    texts.Pack(d.Packed); // the copied texts, after the answers
}

// The least dialogs worth a part of their own, read side by side with the others: handing a part
// to another thread and putting its list together with the others' costs a little.
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
// would cost more than reading them. When the dialog sections are most of the text, the records
// keep their texts where they lie in `bytes`, in blocks whose header bytes are written over the
// end of each text's key, and through their blocks they keep `owner`, which keeps the bytes;
// otherwise, lest a few dialogs keep a large file, they copy them.
Project ImportFromIni(char* bytes, std::size_t size, const std::shared_ptr<const void>& owner) {
    const std::string_view text(bytes, size);
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

    // The records are made first, so that the place of every dialog is known, and beside them
    // the first section of each number of the range is found (a section found in a later part
    // gives way to an earlier one). Then the sections are read in parts side by side, each part
    // into a list of its own, and every answer is linked as it is read: the numbers of the range
    // are the dialogs' own, one each, so a follow-up's dialog is the one at its number's place.
    const std::size_t parts = PartsFor(count, kLeastDialogsPerPart);
    // One past the index of each number's first section; 0 while none is found.
    std::vector<std::atomic<std::size_t>> sectionOf(count);
    std::vector<std::unique_ptr<TDialogItem>> records(count);
    std::vector<TDialogItem*> placeOf(count);
    RunParts(parts, [&](std::size_t k) {
        for (auto [i, end] = RangeOfPart(count, parts, k); i < end; ++i) {
            records[i] = std::make_unique<TDialogItem>();
            placeOf[i] = records[i].get();
        }
        for (auto [s, end] = RangeOfPart(sections.size(), parts, k); s < end; ++s) {
            const std::optional<std::int64_t> n = SectionNumber(sections[s].name);
            if (!n || *n < first || *n > last) continue;
            std::atomic<std::size_t>& slot = sectionOf[static_cast<std::size_t>(*n - first)];
            std::size_t seen = slot.load(std::memory_order_relaxed);
            while ((seen == 0 || s + 1 < seen) &&
                   !slot.compare_exchange_weak(seen, s + 1, std::memory_order_relaxed)) {
            }
        }
    });
    std::size_t dialogBytes = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (const std::size_t section = sectionOf[i].load(std::memory_order_relaxed))
            dialogBytes += sections[section - 1].lines.size();
    }
    char* const keptIn = dialogBytes >= size / 2 ? bytes : nullptr;
    std::vector<Project> lists(parts);
    TDialogItem* const* places = placeOf.data();
    RunParts(parts, [&](std::size_t k) {
        TextPacker texts;
        if (keptIn) texts.KeepWithBlocks(owner);
        FilledKeys filled;
        for (auto [i, end] = RangeOfPart(count, parts, k); i < end; ++i) {
            TDialogItem& dialog = *records[i];
            dialog.FunctionNumber = static_cast<std::int32_t>(first + static_cast<std::int64_t>(i));
            if (const std::size_t section = sectionOf[i].load(std::memory_order_relaxed)) {
                // Reading ahead stops before the next section's lines, which another processor
                // may be writing the headers of its texts into.
                const char* readable = section < sections.size() ? sections[section].lines.data()
                                                                 : text.data() + size;
                ReadDialog(sections[section - 1].lines, keptIn, readable, dialog, texts, filled);
            }
            for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
                // Below the range, the place wraps around past `count`.
                const auto place =
                    static_cast<std::uint64_t>(std::int64_t{dialog.Function[slot]} - first);
                dialog.LinkDialog[slot] = place < count ? places[place] : nullptr;
            }
            lists[k].AppendDialog(std::move(records[i]));
        }
    });
    for (Project& list : lists)
        project.AppendDialogs(std::move(list));
    project.Modified = false;
    return project;
}

// The project of an INI text that the import may change and its dialogs keep.
Project ImportOwnedText(std::string text) {
    const auto owned = std::make_shared<std::string>(std::move(text));
    return ImportFromIni(owned->data(), owned->size(), owned);
}

} // namespace

Project ImportIniProject(std::string_view bytes) {
    std::string converted;
    const std::string_view text = IniText(bytes, converted);
    if (text.data() != converted.data()) converted.assign(text); // the import changes its copy
    return ImportOwnedText(std::move(converted));
}

Project ImportIniFile(const std::string& path) {
    FileBytes bytes = ReadFileBytes(path);
    try {
        std::string converted;
        if (IniText(bytes.view(), converted).data() == converted.data())
            return ImportOwnedText(std::move(converted));
        const std::size_t size = bytes.size();
        const std::shared_ptr<char[]> owned = std::move(bytes).Release();
        return ImportFromIni(owned.get(), size, owned);
    } catch (const Error& e) {
        throw Error(CannotReadText(path, 0, e.what()));
    }
}

} // namespace kv
