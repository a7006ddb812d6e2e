// An INI import followed by the save and the load of the project it made: whatever the INI
// bytes hold, the project the program then holds saves, loads and saves again to the same bytes,
// with the same dialogs. (A byte the project file cannot give back must never reach a text.)
#include "fuzz_check.h"

#include "project/ini_file.h"
#include "project/ini_import.h"
#include "project/tlk_file.h"
#include "text/error.h"

#include <string>

namespace {
// Larger ranges only repeat the same work for seconds under the sanitizers.
constexpr std::int64_t kLargestFuzzedRange = 2000;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kv;
    const std::string_view bytes = fuzz::Bytes(data, size);
    const IniFile ini = IniFile::Parse(std::string(bytes));
    const std::int64_t start = ini.ReadInteger("Main", "FunctionStart", 1000);
    const std::int64_t end = ini.ReadInteger("Main", "FunctionEnd", 0);
    if (end - start + 1 > kLargestFuzzedRange) return 0;

    Project imported;
    try {
        imported = ImportIniProject(bytes);
    } catch (const Error&) {
        return 0; // the range limit; fuzz_ini holds the import to its reasons
    }
    const std::string saved = SerializeProject(imported);
    const Project loaded = ParseProject(saved);
    fuzz::Require(loaded.DialogCount() == imported.DialogCount(),
                  "a saved import loads with another number of dialogs");
    fuzz::Require(loaded.ScriptFile == imported.ScriptFile, "a saved import lost its ScriptFile");
    const TDialogItem* a = imported.Dialogs();
    for (const TDialogItem* b = loaded.Dialogs(); a && b; a = a->Next, b = b->Next) {
        fuzz::Require(a->Hint == b->Hint && a->Text == b->Text && a->Variant == b->Variant &&
                          a->Variants == b->Variants && a->Function == b->Function,
                      "a saved import loads with other values");
    }
    fuzz::Require(SerializeProject(loaded) == saved, "a saved import saves again to other bytes");
    return 0;
}
