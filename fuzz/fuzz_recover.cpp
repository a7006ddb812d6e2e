// The recovery of a project from arbitrary script bytes. It must fail only with an error, keep
// its notes in line order, and whenever it reports no hand edit, compiling what it recovered into
// the same script (with the script's own date line) must give the script back byte for byte.
#include "fuzz_check.h"

#include "erm/recovery.h"
#include "erm/splice.h"
#include "text/error.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kv::fuzz::Require;
    const std::string_view script = kv::fuzz::Bytes(data, size);
    kv::RecoveredProject recovered;
    try {
        recovered = kv::RecoverProject(script);
    } catch (const kv::Error&) {
        return 0;
    }
    const auto& notes = recovered.notes;
    Require(std::is_sorted(notes.begin(), notes.end(),
                           [](const auto& a, const auto& b) { return a.line < b.line; }),
            "the notes are not in line order");
    if (std::any_of(notes.begin(), notes.end(),
                    [](const auto& n) { return n.kind == kv::NoteKind::HandEdited; })) {
        return 0;
    }

    // The date line follows the marker: ";", the stamp, the fixed warning text.
    constexpr std::string_view warning =
        " Warning - do not touch \"Korvanthiel data begin\" string!";
    const std::string marker = "\n" + std::string(kv::kMarkerLine) + "\n";
    const std::size_t start = script.find(marker) + marker.size();
    std::string_view line = script.substr(start, script.find('\n', start) - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    Require(line.size() > warning.size() && line.ends_with(warning), "no date line, unreported");
    const std::string_view stamp = line.substr(1, line.size() - 1 - warning.size());
    std::string again;
    try {
        again = kv::SpliceScript(script, recovered.project, stamp);
    } catch (const kv::Error&) {
        Require(false, "the recovered project cannot be compiled");
    }
    Require(again == script, "a script recovered without a report does not compile back");
    return 0;
}
