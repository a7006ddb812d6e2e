// The INI reader and the INI import on arbitrary bytes. The import must make exactly the dialogs
// of the range that section Main names, with the values the reader gives for each key, or refuse a
// range beyond the limit with a clear error; never run out of memory or time.
#include "fuzz_check.h"

#include "project/ini_file.h"
#include "project/ini_import.h"
#include "text/error.h"
#include "text/stored_text.h"

#include <cstdlib>
#include <string>

namespace {
constexpr std::int64_t kLargestFuzzedRange = 2000;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kv;
    std::string_view bytes = fuzz::Bytes(data, size);
    IniFile ini = IniFile::Parse(std::string(bytes));

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

    std::int64_t n = start;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next, ++n) {
        fuzz::Require(d->FunctionNumber == n, "the dialogs do not follow the range");
        std::string section = std::to_string(n);
        fuzz::Require(d->Hint == StorableText(ini.ReadString(section, "Hint", "").substr(0, 200)),
                      "a Hint is not the file's");
        fuzz::Require(d->Function[0] == ini.ReadInteger(section, "Function0", 0),
                      "a Function0 is not the file's");
        fuzz::Require(d->Variants[11].giveMyth ==
                          static_cast<std::uint16_t>(ini.ReadInteger(section, "giveMyth11", 0)),
                      "a giveMyth11 is not the low bits of the file's");
    }
    fuzz::RequireLinksRebuilt(project);
    return 0;
}
