// The compile on arbitrary script bytes with an arbitrary small project. The text above the first
// marker is the user's and must come out byte for byte; the generated region must not depend on
// it; a second compile of the result must change nothing. A project the generator cannot write
// (a variant mask beyond 32 bits) must fail with an error, not give a wrong script, and the
// project checks must have named that field as an error.
#include "fuzz_check.h"

#include "check/check_project.h"
#include "erm/splice.h"
#include "text/error.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <string>

namespace {

// Texts without line breaks, as the grids and the project file give them.
std::string Line(FuzzedDataProvider& input, std::size_t longest) {
    std::string text = input.ConsumeRandomLengthString(longest);
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

void FillDialog(FuzzedDataProvider& input, kv::TDialogItem& d, int dialogs) {
    d.FunctionNumber = input.ConsumeIntegral<std::int32_t>();
    d.Hint = Line(input, 40);
    if (input.ConsumeBool()) d.ScriptBefore = Line(input, 40);
    int lines = input.ConsumeIntegralInRange(0, kv::kTextLineCount);
    for (int l = 0; l < lines; ++l) d.Text[static_cast<std::size_t>(input.ConsumeIntegralInRange(0, 29))] = Line(input, 30);
    if (input.ConsumeBool()) d.ScriptAfter = Line(input, 40);
    d.Header = Line(input, 20);
    d.VariantEscape = input.ConsumeIntegral<std::uint8_t>();
    d.VariantDefault = input.ConsumeIntegral<std::uint8_t>();
    int slots = input.ConsumeIntegralInRange(0, kv::kSlotCount);
    for (int k = 0; k < slots; ++k) {
        auto i = static_cast<std::size_t>(k);
        kv::TVariantData& v = d.Variants[i];
        d.Variant[i] = Line(input, 20);
        v.Skill = input.ConsumeIntegral<std::uint8_t>();
        v.Slevel = input.ConsumeIntegral<std::uint8_t>();
        if (input.ConsumeBool()) v.FailOn = Line(input, 20);
        for (int r = 0; r < kv::kResourceCount; ++r) {
            if (input.ConsumeBool()) v.Cost(r) = input.ConsumeIntegral<std::uint16_t>();
            if (input.ConsumeBool()) v.Reward(r) = input.ConsumeIntegral<std::uint16_t>();
        }
        v.Artefact = input.ConsumeIntegral<std::uint16_t>();
        v.Variable = input.ConsumeIntegral<std::int32_t>();
        v.DVariable = input.ConsumeIntegral<std::int32_t>();
        v.SVariable = input.ConsumeIntegral<std::int32_t>();
        // Mostly numbers of dialogs of the project, so that links are common.
        d.Function[i] = input.ConsumeBool() ? input.ConsumeIntegral<std::int32_t>()
                                            : input.ConsumeIntegralInRange(0, dialogs);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kv::fuzz::Require;
    FuzzedDataProvider input(data, size);
    // The script comes from the front of the input, the project from the rest, so that a script
    // file as a seed stays a script.
    std::string script = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<std::size_t>(0, size));
    kv::Project project;
    int dialogs = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < dialogs; ++i) FillDialog(input, *project.AppendDialog(), dialogs);
    for (kv::TDialogItem* d = project.Dialogs(); d; d = d->Next) {
        if (d->FunctionNumber < 0 || d->FunctionNumber > dialogs) d->FunctionNumber &= 3;
    }
    project.RebuildLinks();
    const std::string stamp = "31.12.2023 23:59:59";

    // A mask beyond 32 bits cannot be written: the compile must fail where the code would need
    // one (the default mask of a dialog with answers, the escape mask of one with requirements)
    // and may refuse such a field anywhere.
    bool mustFail = false;
    bool mayFail = false;
    for (const kv::TDialogItem* d = project.Dialogs(); d; d = d->Next) {
        bool requirements = false;
        for (const kv::TVariantData& v : d->Variants) {
            requirements = requirements || (v.Skill > 0 && v.Slevel > 0);
            for (int r = 0; r < kv::kResourceCount; ++r) requirements = requirements || v.Cost(r) > 0;
        }
        bool wideEscape = d->VariantEscape > 30;
        bool wideDefault = d->VariantDefault > 31;
        mayFail = mayFail || wideEscape || wideDefault;
        mustFail = mustFail || (d->SlotInUse(0) && (wideDefault || (wideEscape && requirements)));
    }

    // The checks say beforehand, as an error on the field, exactly when the compile refuses.
    bool checkRefuses = false;
    for (const kv::Problem& p : kv::CheckProject(project, kv::ScanScript(script))) {
        checkRefuses = checkRefuses || (p.severity == kv::Severity::Error &&
                                        (p.field == kv::ProblemField::VariantEscape ||
                                         p.field == kv::ProblemField::VariantDefault));
    }

    std::string out;
    try {
        out = kv::SpliceScript(script, project, stamp);
    } catch (const kv::Error& e) {
        if (!mayFail) std::fprintf(stderr, "error: %s\n", e.what());
        Require(mayFail, "the compile failed on a project it can write");
        Require(checkRefuses, "the compile failed where the checks found no mask error");
        return 0;
    }
    Require(!mustFail, "the compile wrote a variant mask beyond 32 bits");
    Require(!checkRefuses, "the checks found a mask error the compile did not refuse");

    const std::string marker = "\n" + std::string(kv::kMarkerLine);
    std::size_t cut = script.find(marker);
    std::string_view kept = std::string_view(script).substr(0, cut);
    Require(out.compare(0, kept.size(), kept) == 0, "the user's text above the marker changed");
    Require(out.compare(kept.size(), marker.size() + 2, marker + "\n;") == 0,
            "the marker does not follow the user's text");
    Require(out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0, "no CR LF at the end");
    Require(std::string_view(out).substr(kept.size()) == kv::SpliceScript("", project, stamp),
            "the generated region depends on the user's text");
    Require(kv::SpliceScript(out, project, stamp) == out, "a second compile changed the script");
    return 0;
}
