#pragma once

#include "model/edit.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The edits behind the editor's commands, one function each. Each looks at the project as it
// is now and returns the edit, or null when the command would do nothing here (no such dialog
// or slot, a full dialog, a first answer moved up): a null edit is no step of the history. The
// edit is applied by its owner (Edit::Apply), which the undo stack does when it takes it; its
// Focus() then names the dialog or answer the window selects. Dialogs are named by their list
// position, answers by Place (position, slot).

constexpr std::string_view kNewVariantCaption = "New variant";

// The number a new dialog gets: the last dialog's number plus 1 (kept to 32 bits), or
// FunctionStart in an empty list. No other dialog is consulted.
std::int32_t NextFunctionNumber(const Project& project);

// A new record holding every field of the source except its number and its place in the list;
// its answers lead to the same dialogs as the source's.
std::unique_ptr<TDialogItem> CopyOfDialog(const TDialogItem& source, std::int32_t number);

// One field to set. Function (an answer's follow-up) is set as the variant grid stores it: the
// number, and a link to the first dialog with that number.
struct FieldChange {
    FieldRef ref;
    FieldValue value;
};

// The one edit for plain values: a grid commit (all its rows at once), a caption edited in the
// outline, the text editor's save (its lines), the script file chosen. Values equal to the
// stored ones make no step; an edit where all are equal is Empty() after Apply. A reference to
// no dialog or slot throws Error on Apply and changes nothing. `name` says what the user did,
// for the undo menu: "переименование", "изменение текста", "выбор файла сценария".
std::unique_ptr<Edit> ChangeValues(std::vector<FieldChange> changes,
                                   std::string name = "изменение значения");

// A blank dialog at the end, numbered by NextFunctionNumber and captioned "N {}".
std::unique_ptr<Edit> NewDialog(const Project& project);
// A new dialog at the end captioned "dialog caption -> answer caption", which the answer then
// leads to (its link; the stored number is left as it was).
std::unique_ptr<Edit> ConsequenceDialog(const Project& project, Place answer);
// A copy of the dialog at the end (CopyOfDialog under NextFunctionNumber).
std::unique_ptr<Edit> DuplicateDialog(const Project& project, int position);
// A new answer "New variant" in the first free slot of dialog `target` leading to dialog
// `attached` (which may be the target itself); null when the target is full.
std::unique_ptr<Edit> AddToDialog(const Project& project, int attached, int target);
// Removes the dialog; links into it become plain numbers, and come back as links on Revert.
std::unique_ptr<Edit> DeleteDialog(const Project& project, int position);

// A new answer "New variant": in the first free slot when `at` is a dialog (slot -1), else in
// front of the answer at `at` (null when slot 11 is in use). It leads to the dialog at position
// `linkTo`, or nowhere when that is -1.
std::unique_ptr<Edit> AddVariant(const Project& project, Place at, int linkTo = -1);
// Exchanges the answer with the one before (direction -1) or after (+1); null at either end.
std::unique_ptr<Edit> MoveVariant(const Project& project, Place answer, int direction);
std::unique_ptr<Edit> DeleteVariant(const Project& project, Place answer);

// A copy of the answer at `source` (null when that slot is free), put where AddVariant would put
// a new one at `target`. With `cut` the source is then removed: the answer moves, and within one
// dialog its escape and default marks move with it.
std::unique_ptr<Edit> PasteVariant(const Project& project, Place source, Place target, bool cut);
// Without `cut`, DuplicateDialog. With `cut`, a move: the dialog goes to the end of the list
// under the number a copy would get (NextFunctionNumber before the move), and every link into it
// follows it to its new place and number.
std::unique_ptr<Edit> PasteDialog(const Project& project, int source, bool cut);

} // namespace kv
