#include "model/project_edits.h"

#include "text/whole_number.h"

#include <utility>

namespace kv {

namespace {

bool HasDialog(const Project& project, int position) {
    return position >= 0 && position < project.DialogCount();
}

bool HasSlot(const Project& project, Place place) {
    return HasDialog(project, place.dialog) && place.slot >= 0 && place.slot < kSlotCount;
}

// Appends a new record and makes it the focus; returns its position.
int AppendDialog(EditRecorder& r, std::unique_ptr<TDialogItem> dialog) {
    const int position = r.project().DialogCount();
    r.InsertDialog(position, std::move(dialog));
    r.Focus({position, -1});
    return position;
}

int AppendBlankDialog(EditRecorder& r, std::string_view hint) {
    auto dialog = std::make_unique<TDialogItem>();
    dialog->FunctionNumber = NextFunctionNumber(r.project());
    dialog->Hint = hint.empty() ? FormatNumber(dialog->FunctionNumber) + " {}" : std::string(hint);
    return AppendDialog(r, std::move(dialog));
}

int AppendCopy(EditRecorder& r, int source) {
    const Project& p = r.project();
    return AppendDialog(r, CopyOfDialog(*p.DialogAt(source), NextFunctionNumber(p)));
}

SlotContent NewAnswer(TDialogItem* link) {
    SlotContent answer;
    answer.caption = kNewVariantCaption;
    answer.link = link;
    return answer;
}

std::unique_ptr<Edit> MakeEdit(std::string name, Edit::Plan plan) {
    return std::make_unique<Edit>(std::move(name), std::move(plan));
}

} // namespace

std::int32_t NextFunctionNumber(const Project& project) {
    const TDialogItem* last = project.LastDialog();
    if (last == nullptr) return project.FunctionStart;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(last->FunctionNumber) + 1u);
}

std::unique_ptr<TDialogItem> CopyOfDialog(const TDialogItem& source, std::int32_t number) {
    auto copy = std::make_unique<TDialogItem>(source);
    copy->FunctionNumber = number;
    copy->Next = nullptr;
    return copy;
}

std::unique_ptr<Edit> ChangeValues(std::vector<FieldChange> changes, std::string name) {
    return MakeEdit(std::move(name), [changes = std::move(changes)](EditRecorder& r) {
        for (const FieldChange& c : changes) {
            if (c.ref.field == FieldId::Function) {
                r.SetFollowUp(c.ref.dialog, c.ref.index, static_cast<std::int32_t>(c.value.number));
            } else {
                r.SetValue(c.ref, c.value);
            }
        }
        if (!changes.empty()) {
            const FieldRef& first = changes.front().ref;
            r.Focus(
                {first.dialog, Field(first.field).scope == FieldScope::Slot ? first.index : -1});
        }
    });
}

std::unique_ptr<Edit> NewDialog(const Project&) {
    return MakeEdit("новый диалог", [](EditRecorder& r) { AppendBlankDialog(r, {}); });
}

std::unique_ptr<Edit> ConsequenceDialog(const Project& project, Place answer) {
    if (!HasSlot(project, answer)) return nullptr;
    return MakeEdit("диалог следствия", [answer](EditRecorder& r) {
        const TDialogItem& from = *r.project().DialogAt(answer.dialog);
        const std::string hint =
            from.Hint.str() + " -> " + from.Variant[static_cast<std::size_t>(answer.slot)].str();
        const int position = AppendBlankDialog(r, hint);
        r.SetLink(answer.dialog, answer.slot, r.project().DialogAt(position));
    });
}

std::unique_ptr<Edit> DuplicateDialog(const Project& project, int position) {
    if (!HasDialog(project, position)) return nullptr;
    return MakeEdit("дублирование диалога",
                    [position](EditRecorder& r) { AppendCopy(r, position); });
}

std::unique_ptr<Edit> AddToDialog(const Project& project, int attached, int target) {
    if (!HasDialog(project, attached) || !HasDialog(project, target) ||
        project.DialogAt(target)->FirstFreeSlot() < 0) {
        return nullptr;
    }
    return MakeEdit("добавление к диалогу", [attached, target](EditRecorder& r) {
        const int slot = r.project().DialogAt(target)->FirstFreeSlot();
        r.SetSlot(target, slot, NewAnswer(r.project().DialogAt(attached)));
        r.Focus({target, slot});
    });
}

std::unique_ptr<Edit> DeleteDialog(const Project& project, int position) {
    if (!HasDialog(project, position)) return nullptr;
    return MakeEdit("удаление диалога", [position](EditRecorder& r) {
        r.RemoveDialog(position);
        const int count = r.project().DialogCount();
        r.Focus({position < count ? position : count - 1, -1});
    });
}

namespace {

// The slot a new answer takes for `at` (as AddVariant says), opened by an insertion when `at`
// is an answer; -1 when there is no room.
int OpenSlot(EditRecorder& r, Place at) {
    const TDialogItem& d = *r.project().DialogAt(at.dialog);
    if (at.slot < 0) return d.FirstFreeSlot();
    r.InsertSlot(at.dialog, at.slot);
    return at.slot;
}

bool HasRoom(const Project& project, Place at) {
    if (!HasDialog(project, at.dialog) || at.slot >= kSlotCount) return false;
    const TDialogItem& d = *project.DialogAt(at.dialog);
    return at.slot < 0 ? d.FirstFreeSlot() >= 0 : !d.SlotInUse(kSlotCount - 1);
}

} // namespace

std::unique_ptr<Edit> AddVariant(const Project& project, Place at, int linkTo) {
    if (!HasRoom(project, at) || (linkTo != -1 && !HasDialog(project, linkTo))) return nullptr;
    return MakeEdit(linkTo < 0 ? "добавление варианта" : "добавление варианта с диалогом",
                    [at, linkTo](EditRecorder& r) {
                        const int slot = OpenSlot(r, at);
                        r.SetSlot(at.dialog, slot, NewAnswer(r.project().DialogAt(linkTo)));
                        r.Focus({at.dialog, slot});
                    });
}

std::unique_ptr<Edit> MoveVariant(const Project& project, Place answer, int direction) {
    if (!HasSlot(project, answer) || (direction != -1 && direction != 1)) return nullptr;
    const int end = project.DialogAt(answer.dialog)->SlotEnd();
    const int other = answer.slot + direction;
    if (answer.slot >= end || other < 0 || other >= end) return nullptr;
    return MakeEdit(direction < 0 ? "перемещение варианта вверх" : "перемещение варианта вниз",
                    [answer, other](EditRecorder& r) {
                        r.SwapSlots(answer.dialog, answer.slot, other);
                        r.Focus({answer.dialog, other});
                    });
}

std::unique_ptr<Edit> DeleteVariant(const Project& project, Place answer) {
    if (!HasSlot(project, answer)) return nullptr;
    return MakeEdit("удаление варианта", [answer](EditRecorder& r) {
        r.DeleteSlot(answer.dialog, answer.slot);
        const TDialogItem& d = *r.project().DialogAt(answer.dialog);
        const int end = d.SlotEnd();
        r.Focus({answer.dialog, answer.slot < end ? answer.slot : end - 1});
    });
}

std::unique_ptr<Edit> PasteVariant(const Project& project, Place source, Place target, bool cut) {
    if (!HasSlot(project, source) || !HasRoom(project, target) ||
        !project.DialogAt(source.dialog)->SlotInUse(source.slot)) {
        return nullptr;
    }
    return MakeEdit(cut ? "перенос варианта" : "вставка варианта", [=](EditRecorder& r) {
        const bool oneDialog = source.dialog == target.dialog;
        int from = source.slot;
        const int slot = OpenSlot(r, target);
        // An insertion in front of the source moved it one slot on.
        if (oneDialog && target.slot >= 0 && target.slot <= from) ++from;
        int to = slot;
        r.SetSlot(target.dialog, to, SlotContent::Of(*r.project().DialogAt(source.dialog), from));
        if (cut) {
            const TDialogItem& d = *r.project().DialogAt(source.dialog);
            const bool escape = d.VariantEscape == from;
            const bool preselected = d.VariantDefault == from + 1;
            r.DeleteSlot(source.dialog, from);
            if (oneDialog && from < to) --to;
            // Within one dialog this is a move, and the marks go with the answer.
            if (oneDialog && escape)
                r.SetValue({FieldId::VariantEscape, target.dialog}, FieldValue::Number(to));
            if (oneDialog && preselected)
                r.SetValue({FieldId::VariantDefault, target.dialog}, FieldValue::Number(to + 1));
        }
        r.Focus({target.dialog, to});
    });
}

std::unique_ptr<Edit> PasteDialog(const Project& project, int source, bool cut) {
    if (!HasDialog(project, source)) return nullptr;
    if (!cut)
        return MakeEdit("вставка диалога", [source](EditRecorder& r) { AppendCopy(r, source); });
    return MakeEdit("перенос диалога", [source](EditRecorder& r) {
        const std::int32_t number = NextFunctionNumber(r.project());
        const int last = r.project().DialogCount() - 1;
        r.MoveDialog(source, last);
        r.SetValue({FieldId::FunctionNumber, last}, FieldValue::Number(number));
        r.Focus({last, -1});
    });
}

} // namespace kv
