#include "project/ini_import.h"

#include "project/ini_file.h"
#include "text/error.h"
#include "text/file_io.h"
#include "text/whole_number.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace kv {
namespace {

constexpr std::array<const char*, kResourceCount> kResourceKeys = {"Wood",  "Merc", "Ore",  "Sulf",
                                                                   "Cryst", "Gems", "Gold", "Myth"};

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = FoldCase(c);
    return out;
}

// A number of a dialog section: a value that is no integer reads as 0, as a missing key does.
std::int32_t Number(std::string_view value) { return ParseIniInteger(value).value_or(0); }

// What one key of a dialog section fills. `index` is the text line, the slot, or the slot and
// the resource (slot * kResourceCount + r) that the key names.
struct DialogField {
    void (*set)(TDialogItem& d, std::size_t index, std::string_view value);
    std::size_t index = 0;
};

// Every key a dialog section may hold, by its name in lower case: "text1".."text30",
// "variant0".."variant11" and the slot keys with their slot number ("skill0", "givemyth11").
// The import walks the keys a section has and looks each up here; most of the possible keys are
// missing from a real file, and asking the section for each of them cost more than all the rest.
class DialogFields {
public:
    DialogFields() {
        Add("hint", [](TDialogItem& d, std::size_t, std::string_view v) { d.Hint = v; });
        Add("scriptbefore", [](TDialogItem& d, std::size_t, std::string_view v) { d.ScriptBefore = v; });
        Add("scriptafter", [](TDialogItem& d, std::size_t, std::string_view v) { d.ScriptAfter = v; });
        Add("header", [](TDialogItem& d, std::size_t, std::string_view v) { d.Header = v; });
        Add("variantescape", [](TDialogItem& d, std::size_t, std::string_view v) {
            d.VariantEscape = static_cast<std::uint8_t>(Number(v));
        });
        Add("variantdefault", [](TDialogItem& d, std::size_t, std::string_view v) {
            d.VariantDefault = static_cast<std::uint8_t>(Number(v));
        });
        for (std::size_t i = 0; i < kTextLineCount; ++i) {
            Add("text" + std::to_string(i + 1),
                [](TDialogItem& d, std::size_t l, std::string_view v) { d.Text[l] = v; }, i);
        }
        for (std::size_t k = 0; k < kSlotCount; ++k) AddSlot(k);
    }

    const DialogField* Find(std::string_view name) const {
        if (name.size() > kLongestName) return nullptr;
        char folded[kLongestName];
        for (std::size_t i = 0; i < name.size(); ++i) folded[i] = FoldCase(name[i]);
        auto it = fields_.find(std::string_view(folded, name.size()));
        return it == fields_.end() ? nullptr : &it->second;
    }

private:
    static constexpr std::size_t kLongestName = 16; // "variantdefault", "givecryst11"

    using Setter = void (*)(TDialogItem&, std::size_t, std::string_view);
    void Add(const std::string& name, Setter set, std::size_t index = 0) {
        fields_.emplace(name, DialogField{set, index});
    }

    void AddSlot(std::size_t k) {
        const std::string n = std::to_string(k);
        Add("variant" + n, [](TDialogItem& d, std::size_t i, std::string_view v) { d.Variant[i] = v; }, k);
        Add("skill" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Variants[i].Skill = static_cast<std::uint8_t>(Number(v));
        }, k);
        Add("slevel" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Variants[i].Slevel = static_cast<std::uint8_t>(Number(v));
        }, k);
        for (std::size_t r = 0; r < kResourceCount; ++r) {
            const std::string resource = Folded(kResourceKeys[r]);
            Add(resource + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
                d.Variants[i / kResourceCount].Cost(static_cast<int>(i % kResourceCount)) =
                    static_cast<std::uint16_t>(Number(v));
            }, k * kResourceCount + r);
            Add("give" + resource + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
                d.Variants[i / kResourceCount].Reward(static_cast<int>(i % kResourceCount)) =
                    static_cast<std::uint16_t>(Number(v));
            }, k * kResourceCount + r);
        }
        Add("artefact" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Variants[i].Artefact = static_cast<std::uint16_t>(Number(v));
        }, k);
        Add("variable" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Variants[i].Variable = Number(v);
        }, k);
        Add("dvariable" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Variants[i].DVariable = Number(v);
        }, k);
        Add("svariable" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Variants[i].SVariable = Number(v);
        }, k);
        Add("failon" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Variants[i].FailOn = v;
        }, k);
        Add("function" + n, [](TDialogItem& d, std::size_t i, std::string_view v) {
            d.Function[i] = Number(v);
        }, k);
    }

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_map<std::string, DialogField, Hash, std::equal_to<>> fields_;
};

// Reads one dialog section into a blank record; a missing key or an unreadable number leaves
// the field blank, and a key that names no field is passed over. Numbers are stored into their
// field's width, keeping the low bits.
void ReadDialog(const IniFile::Section& section, TDialogItem& d) {
    static const DialogFields fields;
    section.ForEachKey([&](std::string_view name, std::string_view value) {
        if (const DialogField* field = fields.Find(name)) field->set(d, field->index, value);
    });
}

// The project of a parsed INI file.
Project ImportFromIni(const IniFile& ini) {
    const IniFile::Section main = ini.FindSection("Main");
    auto mainNumber = [&](std::string_view key) -> std::optional<std::int64_t> {
        std::optional<std::string_view> value = main.Find(key);
        if (!value) return std::nullopt;
        return ParseIniInteger(*value);
    };

    Project project;
    project.FunctionStart = static_cast<std::int32_t>(mainNumber("FunctionStart").value_or(1000));
    project.ScriptFile = std::string(main.Find("ScriptFile").value_or(""));

    // In 64 bits, so that neither the default end nor the count can overflow.
    const std::int64_t first = project.FunctionStart;
    const std::int64_t last = mainNumber("FunctionEnd").value_or(first - 1);
    if (last - first + 1 > kMaxImportedDialogs) {
        throw Error("Слишком большой диапазон функций: " + FormatNumber(first) + ".." +
                    FormatNumber(last) + " (не больше " + FormatNumber(kMaxImportedDialogs) +
                    " диалогов)");
    }
    for (std::int64_t n = first; n <= last; ++n) {
        auto dialog = std::make_unique<TDialogItem>();
        dialog->FunctionNumber = static_cast<std::int32_t>(n);
        // The section is named by the number in plain decimal: "01000" is not dialog 1000.
        if (IniFile::Section section = ini.FindSection(FormatNumber(n))) {
            ReadDialog(section, *dialog);
        }
        project.AppendDialog(std::move(dialog));
    }
    project.RebuildLinks();
    project.Modified = false;
    return project;
}

} // namespace

Project ImportIniProject(std::string_view bytes) {
    return ImportFromIni(IniFile::Parse(std::string(bytes)));
}

Project ImportIniFile(const std::string& path) {
    if (!FileExists(path)) throw Error("File not found");
    return ImportFromIni(IniFile::Parse(ReadWholeFile(path)));
}

} // namespace kv
