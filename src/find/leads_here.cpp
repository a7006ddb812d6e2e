#include "find/leads_here.h"

#include "check/script_facts.h"
#include "erm/splice.h"
#include "text/error.h"
#include "text/whole_number.h"

#include <algorithm>

namespace kv {

std::vector<Lead> LeadsTo(const Project& project, int position, std::string_view script) {
    std::vector<Lead> leads;
    const TDialogItem* target = project.DialogAt(position);
    if (!target) return leads;
    const std::int32_t number = target->FunctionNumber;
    auto callsOf = [number](std::string_view text, auto&& found) {
        ForEachFunctionMention(text, [&](const ErmFunctionMention& m) {
            if (m.call && m.number == number) found(m.offset);
        });
    };

    int at = 0;
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next, ++at) {
        for (int k = 0; k < kSlotCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            const bool toTarget = d->LinkDialog[i]
                                      ? d->LinkDialog[i] == target
                                      : d->Function[i] != 0 && d->Function[i] == number;
            if (toTarget && d->SlotInUse(k))
                leads.push_back({Lead::Kind::Answer, {at, k}, FieldId::Function});
        }
        for (FieldId id : {FieldId::ScriptBefore, FieldId::ScriptAfter}) {
            const std::string_view erm =
                id == FieldId::ScriptBefore ? d->ScriptBefore.view() : d->ScriptAfter.view();
            bool calls = false;
            callsOf(erm, [&](std::size_t) { calls = true; });
            if (calls) leads.push_back({Lead::Kind::DialogErm, {at, -1}, id});
        }
    }

    const std::string_view own = script.substr(0, FindMarker(script));
    std::size_t counted = 0;
    int line = 0;
    callsOf(own, [&](std::size_t offset) {
        line +=
            static_cast<int>(std::count(own.begin() + static_cast<std::ptrdiff_t>(counted),
                                        own.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
        counted = offset;
        leads.push_back({Lead::Kind::Script, {-1, -1}, FieldId::ScriptFile, line});
    });
    return leads;
}

int GoToFunction(const Project& project, std::string_view typed) {
    const std::optional<std::int32_t> number = ParseWholeNumber(typed);
    if (!number) throw Error("Неправильное число!");
    const int position = project.IndexOfDialog(project.FindByFunction(*number));
    if (position < 0) throw Error("Нет такой функции!");
    return position;
}

FunctionIndex::FunctionIndex(const Project& project) {
    numbers_.reserve(static_cast<std::size_t>(project.DialogCount()));
    for (const TDialogItem* d = project.Dialogs(); d; d = d->Next)
        numbers_.push_back(d->FunctionNumber);
    std::sort(numbers_.begin(), numbers_.end());
    numbers_.erase(std::unique(numbers_.begin(), numbers_.end()), numbers_.end());
}

bool FunctionIndex::Has(std::int32_t number) const {
    return std::binary_search(numbers_.begin(), numbers_.end(), number);
}

std::string OutlineNumberText(const TDialogItem& dialog, int slot, const FunctionIndex& index) {
    if (slot < 0) return FormatNumber(dialog.FunctionNumber);
    if (slot >= kSlotCount || !dialog.HasFollowUp(slot)) return {};
    const std::int32_t number = dialog.FollowUp(slot);
    const bool inside = dialog.LinkDialog[static_cast<std::size_t>(slot)] || index.Has(number);
    return "\xE2\x86\x92 " + FormatNumber(number) + (inside ? "" : " ?");
}

} // namespace kv
