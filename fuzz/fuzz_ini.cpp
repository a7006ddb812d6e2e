// The INI reader and the INI import on arbitrary bytes. The import must make exactly the dialogs
// of the range that section Main names, with the values the reader gives for each key, or refuse a
// range beyond the limit with a clear error; never run out of memory or time.
#include "fuzz_check.h"

#include "model/fields.h"
#include "project/ini_file.h"
#include "project/ini_import.h"
#include "project/ini_lines.h"
#include "text/error.h"
#include "text/stored_text.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {
constexpr std::int64_t kLargestFuzzedRange = 2000;

struct FieldKey {
    kv::FieldId id;
    int index;
    std::string key;
};

// The key of every field of a dialog section, for each message line (from 1) and slot (from 0).
std::vector<FieldKey> EveryDialogKey() {
    using namespace kv;
    std::vector<FieldKey> keys;
    for (const FieldInfo& f : kFields) {
        if (f.iniKey.empty() || f.scope == FieldScope::Project) continue;
        const int count = f.scope == FieldScope::Line   ? kTextLineCount
                          : f.scope == FieldScope::Slot ? kSlotCount
                                                        : 1;
        for (int i = 0; i < count; ++i) {
            std::string key(f.iniKey);
            if (f.scope == FieldScope::Line) key += std::to_string(i + 1);
            if (f.scope == FieldScope::Slot) key += std::to_string(i);
            keys.push_back({f.id, i, key});
        }
    }
    return keys;
}

// The sections as a plain walk over every line, a byte at a time, finds them: what the splitter's
// search for brackets and its line ends, many bytes at a time, must agree with, whether it splits
// the text in one part or in several side by side.
void RequireSectionsLineByLine(std::string_view text, std::size_t parts) {
    using namespace kv;
    const std::vector<IniSection> split = SplitIniSections(text, parts);
    std::size_t count = 0;
    std::size_t linesBegin = 0;
    auto requireLast = [&](std::size_t end) {
        if (count == 0) return;
        const IniSection& s = split[count - 1];
        fuzz::Require(s.lines.data() == text.data() + linesBegin &&
                          s.lines.size() == end - linesBegin,
                      "a section's lines are not those up to the next header");
    };
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        fuzz::Require(ini_rules::FindLineEnd(text, pos) == end, "a line end was missed");
        const std::size_t next = ini_rules::NextLineStart(text, end);
        if (const auto name = ini_rules::SectionName(text.substr(pos, end - pos))) {
            requireLast(pos);
            fuzz::Require(count < split.size() && split[count].name.data() == name->data() &&
                              split[count].name.size() == name->size(),
                          "a header was missed");
            ++count;
            linesBegin = next;
        }
        pos = next;
    }
    requireLast(text.size());
    fuzz::Require(count == split.size(), "a line that is no header began a section");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kv;
    std::string_view bytes = fuzz::Bytes(data, size);
    IniFile ini = IniFile::Parse(std::string(bytes));
    const std::string text = IniText(std::string(bytes));
    for (std::size_t parts : {1, 3})
        RequireSectionsLineByLine(text, parts);

    std::int64_t start = ini.ReadInteger("Main", "FunctionStart", 1000);
    // A missing or unreadable FunctionEnd stands for FunctionStart - 1, computed without wrapping
    // (so no dialogs, also for the smallest FunctionStart). Two fallbacks tell a value from none.
    std::int64_t end = ini.ReadInteger("Main", "FunctionEnd", 0);
    if (end != ini.ReadInteger("Main", "FunctionEnd", 1)) end = start - 1;
    std::int64_t count = end < start ? 0 : end - start + 1;
    // A large range within the limit repeats the same work for seconds under the sanitizers;
    // the inputs of fuzz/limits run once with KORV_FUZZ_ALL_RANGES set instead. Ranges beyond the
    // limit always run: they must be refused at once.
    static const bool allRanges = std::getenv("KORV_FUZZ_ALL_RANGES") != nullptr;
    if (!allRanges && count > kLargestFuzzedRange && count <= kMaxImportedDialogs) return 0;

    Project project;
    try {
        project = ImportIniProject(bytes);
    } catch (const Error&) {
        fuzz::Require(count > kMaxImportedDialogs, "the import refused a range within the limit");
        return 0;
    }
    fuzz::Require(count <= kMaxImportedDialogs, "the import took a range beyond the limit");
    fuzz::Require(project.DialogCount() == count, "the import made another number of dialogs");
    fuzz::Require(project.FunctionStart == start, "FunctionStart is not the file's");
    fuzz::Require(project.ScriptFile == StorableText(ini.ReadString("Main", "ScriptFile", "")),
                  "ScriptFile is not the file's");
    fuzz::Require(!project.Modified && project.ProjectFileName.empty(),
                  "an imported project is not a fresh one");

    // Every field of every dialog, each text line and each slot, against the reader's value for
    // its key: the import reads the file by itself, without the reader's index.
    static const std::vector<FieldKey> keys = EveryDialogKey();
    std::int64_t n = start;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next, ++n) {
        fuzz::Require(d->FunctionNumber == n, "the dialogs do not follow the range");
        const IniFile::Section section = ini.FindSection(std::to_string(n));
        // A dialog without a section is a blank record: in the largest ranges, checking that for
        // each of their many thousands of dialogs would take seconds under the sanitizers.
        if (!section && n - start >= kLargestFuzzedRange) continue;
        for (const FieldKey& k : keys) {
            const std::optional<std::string_view> value = section.Find(k.key);
            const FieldValue file =
                Field(k.id).width == 0
                    ? FieldValue::Text(StorableText(value.value_or("")))
                    : FieldValue::Number(value ? ParseIniInteger(*value).value_or(0) : 0);
            fuzz::Require(ReadField(*d, k.id, k.index) == StoredValue(k.id, file),
                          "a field is not the file's value of its key");
        }
    }
    fuzz::RequireLinksRebuilt(project);
    return 0;
}
