#include "project/ini_import.h"

#include "model/fields.h"
#include "project/ini_file.h"
#include "text/ascii.h"
#include "text/error.h"
#include "text/file_io.h"
#include "text/stored_text.h"
#include "text/whole_number.h"

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

namespace kv {
namespace {

// A number of a dialog section: a value that is no integer reads as 0, as a missing key does.
std::int32_t Number(std::string_view value) { return ParseIniInteger(value).value_or(0); }

// What one key of a dialog section fills: a field of the record, and the text line or the slot.
struct DialogField {
    FieldId id;
    int index = 0;
};

// Every key a dialog section may hold, by its name in lower case, from the table of fields:
// "hint", "text1".."text30", and the slot keys with their slot number ("skill0", "givemyth11").
// The import walks the keys a section has and looks each up here; most of the possible keys are
// missing from a real file, and asking the section for each of them cost more than all the rest.
class DialogFields {
public:
    DialogFields() {
        for (const FieldInfo& f : kFields) {
            if (f.iniKey.empty() || f.scope == FieldScope::Project) continue;
            std::string key;
            for (char c : f.iniKey) key += FoldAscii(c);
            if (f.scope == FieldScope::Dialog) Add(key, {f.id, 0});
            const int count = f.scope == FieldScope::Line   ? kTextLineCount
                              : f.scope == FieldScope::Slot ? kSlotCount
                                                            : 0;
            // Message lines count from 1 in their keys, slots from 0.
            const int first = f.scope == FieldScope::Line ? 1 : 0;
            for (int i = 0; i < count; ++i) Add(key + std::to_string(i + first), {f.id, i});
        }
    }

    const DialogField* Find(std::string_view name) const {
        if (name.size() > kLongestName) return nullptr;
        char folded[kLongestName];
        for (std::size_t i = 0; i < name.size(); ++i) folded[i] = FoldAscii(name[i]);
        auto it = fields_.find(std::string_view(folded, name.size()));
        return it == fields_.end() ? nullptr : &it->second;
    }

private:
    static constexpr std::size_t kLongestName = 16; // "variantdefault", "givecryst11"

    void Add(const std::string& name, DialogField field) {
        if (name.size() > kLongestName) throw Error("INI key too long: " + name);
        fields_.emplace(name, field);
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
        const DialogField* field = fields.Find(name);
        if (!field) return;
        WriteField(d, field->id, field->index,
                   Field(field->id).width == 0 ? FieldValue::Text(value)
                                               : FieldValue::Number(Number(value)));
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
    project.ScriptFile = StorableText(main.Find("ScriptFile").value_or(""));

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
    std::string bytes = ReadWholeFile(path);
    try {
        return ImportFromIni(IniFile::Parse(std::move(bytes)));
    } catch (const Error& e) {
        throw Error(CannotReadText(path, 0, e.what()));
    }
}

} // namespace kv
