#include "project/ini_import.h"

#include "project/ini_file.h"
#include "text/error.h"
#include "text/file_io.h"
#include "text/whole_number.h"

#include <array>
#include <memory>

namespace kv {
namespace {

constexpr std::array<const char*, kResourceCount> kResourceKeys = {"Wood",  "Merc", "Ore",  "Sulf",
                                                                   "Cryst", "Gems", "Gold", "Myth"};

// The key names of a dialog section, made once: "Text1".."Text30", "Variant0".."Variant11" and
// the slot keys with their slot number ("Skill0", "giveMyth11", ...).
struct DialogKeys {
    struct Slot {
        std::string skill, slevel, artefact, variable, dVariable, sVariable, failOn, function;
        std::array<std::string, kResourceCount> cost, reward;
    };
    std::array<std::string, kTextLineCount> text;
    std::array<std::string, kSlotCount> variant;
    std::array<Slot, kSlotCount> slot;

    DialogKeys() {
        for (int i = 0; i < kTextLineCount; ++i)
            text[Index(i)] = "Text" + std::to_string(i + 1);
        for (int i = 0; i < kSlotCount; ++i) {
            const std::string n = std::to_string(i);
            variant[Index(i)] = "Variant" + n;
            Slot& s = slot[Index(i)];
            s.skill = "Skill" + n;
            s.slevel = "Slevel" + n;
            for (int r = 0; r < kResourceCount; ++r) {
                s.cost[Index(r)] = kResourceKeys[Index(r)] + n;
                s.reward[Index(r)] = "give" + (kResourceKeys[Index(r)] + n);
            }
            s.artefact = "Artefact" + n;
            s.variable = "Variable" + n;
            s.dVariable = "DVariable" + n;
            s.sVariable = "SVariable" + n;
            s.failOn = "FailOn" + n;
            s.function = "Function" + n;
        }
    }
    static std::size_t Index(int i) { return static_cast<std::size_t>(i); }
};

// Reads one dialog section; a missing key or an unreadable number leaves the field blank.
// Numbers are stored into their field's width, keeping the low bits.
class SectionReader {
public:
    explicit SectionReader(IniFile::Section section) : section_(section) {}

    std::string_view Text(const std::string& key) const { return section_.Find(key).value_or(""); }
    std::int32_t Number(const std::string& key) const {
        std::optional<std::string_view> value = section_.Find(key);
        return value ? ParseIniInteger(*value).value_or(0) : 0;
    }
    std::uint8_t Byte(const std::string& key) const {
        return static_cast<std::uint8_t>(Number(key));
    }
    std::uint16_t Word(const std::string& key) const {
        return static_cast<std::uint16_t>(Number(key));
    }

private:
    IniFile::Section section_;
};

void ReadDialog(const SectionReader& in, TDialogItem& d) {
    static const DialogKeys keys;
    d.Hint = in.Text("Hint");
    d.ScriptBefore = in.Text("ScriptBefore");
    for (std::size_t i = 0; i < d.Text.size(); ++i)
        d.Text[i] = in.Text(keys.text[i]);
    d.ScriptAfter = in.Text("ScriptAfter");
    d.Header = in.Text("Header");
    d.VariantEscape = in.Byte("VariantEscape");
    d.VariantDefault = in.Byte("VariantDefault");
    for (std::size_t i = 0; i < d.Variant.size(); ++i)
        d.Variant[i] = in.Text(keys.variant[i]);
    for (std::size_t i = 0; i < d.Variants.size(); ++i) {
        const DialogKeys::Slot& k = keys.slot[i];
        TVariantData& v = d.Variants[i];
        v.Skill = in.Byte(k.skill);
        v.Slevel = in.Byte(k.slevel);
        for (int r = 0; r < kResourceCount; ++r)
            v.Cost(r) = in.Word(k.cost[DialogKeys::Index(r)]);
        v.Artefact = in.Word(k.artefact);
        for (int r = 0; r < kResourceCount; ++r) {
            v.Reward(r) = in.Word(k.reward[DialogKeys::Index(r)]);
        }
        v.Variable = in.Number(k.variable);
        v.DVariable = in.Number(k.dVariable);
        v.SVariable = in.Number(k.sVariable);
        v.FailOn = in.Text(k.failOn);
    }
    for (std::size_t i = 0; i < d.Function.size(); ++i)
        d.Function[i] = in.Number(keys.slot[i].function);
}

} // namespace

Project ImportIniProject(std::string_view bytes) {
    const IniFile ini = IniFile::Parse(bytes);
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
            ReadDialog(SectionReader(section), *dialog);
        }
        project.AppendDialog(std::move(dialog));
    }
    project.RebuildLinks();
    project.Modified = false;
    return project;
}

Project ImportIniFile(const std::string& path) {
    if (!FileExists(path)) throw Error("File not found");
    return ImportIniProject(ReadWholeFile(path));
}

} // namespace kv
