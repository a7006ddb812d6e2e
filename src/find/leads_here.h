#pragma once

#include "model/edit.h"
#include "model/fields.h"
#include "model/project.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Something that leads to a dialog: an answer whose follow-up it is, the ERM of a dialog that
// calls its function, or a call in the author's own text of the script file.
struct Lead {
    enum class Kind : std::uint8_t { Answer, DialogErm, Script };
    Kind kind = Kind::Answer;
    // Answer: the answer; DialogErm: the dialog (slot -1); Script: none ({-1, -1}).
    Place place;
    // Answer: Function; DialogErm: ScriptBefore or ScriptAfter; Script: ScriptFile.
    FieldId field = FieldId::Function;
    // Script: the 0-based line of the call in the script file; -1 otherwise.
    int line = -1;
    friend bool operator==(const Lead&, const Lead&) = default;
};

// What leads to the dialog at `position`, in list order: the answers in use of every dialog (the
// dialog itself included) whose follow-up is it, by link or, where there is no link, by its
// number; the calls of its function ("!!FU<n>", "!!DO<n>") in the ERM before and after the
// message of every dialog; and, given the content of the script file, the calls in the author's
// text above the marker (below it is the compile's own code, which calls every dialog). Nothing
// for a position outside the list.
std::vector<Lead> LeadsTo(const Project& project, int position, std::string_view script = {});

// The list position of the dialog a typed function number names (the first with that number),
// for "go to function". Throws Error with the user's text: "Неправильное число!" for a text that
// is no number, "Нет такой функции!" when no dialog has it.
int GoToFunction(const Project& project, std::string_view typed);

// The function numbers that the dialogs of a project have, to tell many times over whether a
// follow-up stays inside the project. Built in one pass; stale after any edit that adds, removes
// or renumbers a dialog.
class FunctionIndex {
public:
    FunctionIndex() = default;
    explicit FunctionIndex(const Project& project);
    bool Has(std::int32_t number) const;

private:
    std::vector<std::int32_t> numbers_; // sorted, without repeats
};

// The text of the outline's second column, UTF-8 (the arrow has no Windows-1251 byte): for a
// dialog (slot -1) its function number, "1042"; for an answer where it goes, "→ 1042", and
// "→ 1042 ?" when no dialog of the project has that number; "" for an answer without a
// follow-up.
std::string OutlineNumberText(const TDialogItem& dialog, int slot, const FunctionIndex& index);

} // namespace kv
