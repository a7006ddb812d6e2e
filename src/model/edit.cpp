#include "model/edit.h"

#include "text/error.h"

#include <algorithm>
#include <utility>

namespace kv {

// One reversible change, holding what it needs to undo itself.
struct EditStep {
    virtual ~EditStep() = default;
    virtual ProjectChange Change() const = 0;
    // The change that Undo makes, as the observer hears of it.
    virtual ProjectChange UndoChange() const { return Change(); }
    virtual void Do(Project& project) = 0;
    virtual void Undo(Project& project) = 0;
};

namespace {

using Kind = ProjectChange::Kind;

TDialogItem& DialogOf(const Project& project, int position) {
    TDialogItem* d = project.DialogAt(position);
    if (!d) throw Error("No such dialog");
    return *d;
}

// Keeps the record itself (null for a project field): undo and redo find the project as this
// step left it, so the record at the position is the same object, and an edit of many values
// does not walk the list again for each one.
struct ValueStep final : EditStep {
    FieldRef ref;
    TDialogItem* record = nullptr;
    FieldValue before, after;
    ProjectChange Change() const override {
        return {Kind::Value, ref.dialog, ref.index, -1, ref.field};
    }
    void Do(Project& p) override { Write(p, after); }
    void Undo(Project& p) override { Write(p, before); }
    void Write(Project& p, const FieldValue& value) const {
        if (record)
            WriteField(*record, ref.field, ref.index, value);
        else
            WriteField(p, ref, value);
    }
};

struct LinkStep final : EditStep {
    int dialog = 0, slot = 0;
    TDialogItem *before = nullptr, *after = nullptr;
    ProjectChange Change() const override { return {Kind::Link, dialog, slot}; }
    void Do(Project& p) override { DialogOf(p, dialog).LinkDialog[Index()] = after; }
    void Undo(Project& p) override { DialogOf(p, dialog).LinkDialog[Index()] = before; }
    std::size_t Index() const { return static_cast<std::size_t>(slot); }
};

struct SlotStep final : EditStep {
    int dialog = 0, slot = 0;
    SlotContent before, after;
    ProjectChange Change() const override { return {Kind::Slot, dialog, slot}; }
    void Do(Project& p) override { after.WriteTo(DialogOf(p, dialog), slot); }
    void Undo(Project& p) override { before.WriteTo(DialogOf(p, dialog), slot); }
};

// Inserting and deleting a slot move the escape and default marks by a rule that does not undo
// itself (a mark on a slot that leaves falls back to 0), so both keep the marks as they were.
struct SlotShiftStep final : EditStep {
    bool insert = true;
    int dialog = 0, slot = 0;
    SlotContent lost; // slot 11 before an insertion, the removed slot before a deletion
    std::uint8_t escape = 0, defaultVariant = 0;

    ProjectChange Change() const override {
        return {insert ? Kind::SlotInserted : Kind::SlotRemoved, dialog, slot};
    }
    ProjectChange UndoChange() const override {
        return {insert ? Kind::SlotRemoved : Kind::SlotInserted, dialog, slot};
    }
    void Do(Project& p) override {
        TDialogItem& d = DialogOf(p, dialog);
        lost = SlotContent::Of(d, insert ? kSlotCount - 1 : slot);
        escape = d.VariantEscape;
        defaultVariant = d.VariantDefault;
        if (insert)
            p.InsertSlot(d, slot);
        else
            p.DeleteSlot(d, slot);
    }
    void Undo(Project& p) override {
        TDialogItem& d = DialogOf(p, dialog);
        if (insert)
            p.DeleteSlot(d, slot);
        else
            p.InsertSlot(d, slot);
        lost.WriteTo(d, insert ? kSlotCount - 1 : slot);
        d.VariantEscape = escape;
        d.VariantDefault = defaultVariant;
    }
};

struct SwapStep final : EditStep {
    int dialog = 0, a = 0, b = 0;
    ProjectChange Change() const override { return {Kind::SlotsSwapped, dialog, a, b}; }
    void Do(Project& p) override { DialogOf(p, dialog).SwapSlots(a, b); }
    void Undo(Project& p) override { DialogOf(p, dialog).SwapSlots(a, b); }
};

// Puts a record into the list, or takes it out; `insert` false is the removal, which also turns
// the links into the record into plain numbers and restores them on undo.
struct DialogStep final : EditStep {
    bool insert = true;
    int position = 0;
    std::unique_ptr<TDialogItem> held; // while the record is out of the list
    std::vector<Project::UnlinkedSlot> links;

    ProjectChange Change() const override {
        return {insert ? Kind::DialogInserted : Kind::DialogRemoved, position};
    }
    ProjectChange UndoChange() const override {
        return {insert ? Kind::DialogRemoved : Kind::DialogInserted, position};
    }
    void Do(Project& p) override {
        if (insert)
            Put(p);
        else
            Take(p);
    }
    void Undo(Project& p) override {
        if (insert)
            Take(p);
        else
            Put(p);
    }

    void Put(Project& p) {
        TDialogItem* d = p.InsertDialog(position, std::move(held));
        for (auto it = links.rbegin(); it != links.rend(); ++it) {
            it->from->LinkDialog[it->slot] = d;
            it->from->Function[it->slot] = it->function;
        }
        links.clear();
    }
    void Take(Project& p) {
        held = p.TakeDialog(position);
        if (!held) throw Error("No such dialog");
        if (insert) return; // nothing leads to a record that this edit brought in
        links = p.UnlinkFrom(*held);
    }
};

struct MoveStep final : EditStep {
    int from = 0, to = 0;
    ProjectChange Change() const override { return {Kind::DialogMoved, from, -1, to}; }
    ProjectChange UndoChange() const override { return {Kind::DialogMoved, to, -1, from}; }
    void Do(Project& p) override { p.InsertDialog(to, p.TakeDialog(from)); }
    void Undo(Project& p) override { p.InsertDialog(from, p.TakeDialog(to)); }
};

void CheckSlot(int slot) {
    if (slot < 0 || slot >= kSlotCount) throw Error("No such slot");
}

void Notify(ProjectObserver* observer, const ProjectChange& change, bool after) {
    if (!observer) return;
    if (after)
        observer->Changed(change);
    else
        observer->Changing(change);
}

void DoStep(EditStep& step, Project& project, ProjectObserver* observer) {
    const ProjectChange change = step.Change();
    Notify(observer, change, false);
    step.Do(project);
    Notify(observer, change, true);
}

void UndoStep(EditStep& step, Project& project, ProjectObserver* observer) {
    const ProjectChange change = step.UndoChange();
    Notify(observer, change, false);
    step.Undo(project);
    Notify(observer, change, true);
}

} // namespace

SlotContent SlotContent::Of(const TDialogItem& dialog, int k) {
    const auto i = static_cast<std::size_t>(k);
    return {dialog.Variants[i], dialog.Variant[i], dialog.LinkDialog[i], dialog.Function[i]};
}

void SlotContent::WriteTo(TDialogItem& dialog, int k) const {
    const auto i = static_cast<std::size_t>(k);
    dialog.Variants[i] = data;
    dialog.Variant[i] = caption;
    dialog.LinkDialog[i] = link;
    dialog.Function[i] = function;
}

Edit::Edit(std::string name, Plan plan) : name_(std::move(name)), plan_(std::move(plan)) {}
Edit::~Edit() = default;

void Edit::Apply(Project& project, ProjectObserver* observer) {
    if (plan_) {
        Plan plan = std::move(plan_);
        plan_ = nullptr;
        EditRecorder recorder(*this, project, observer);
        const bool modified = project.Modified;
        try {
            plan(recorder);
        } catch (...) {
            // A plan that fails half way leaves the project as it found it.
            Revert(project, observer);
            steps_.clear();
            project.Modified = modified;
            throw;
        }
    } else {
        for (auto& step : steps_)
            DoStep(*step, project, observer);
    }
    if (!steps_.empty()) project.Modified = true;
}

void Edit::Revert(Project& project, ProjectObserver* observer) {
    for (auto it = steps_.rbegin(); it != steps_.rend(); ++it)
        UndoStep(**it, project, observer);
    if (!steps_.empty()) project.Modified = true;
}

EditRecorder::EditRecorder(Edit& edit, Project& project, ProjectObserver* observer)
    : edit_(edit), project_(project), observer_(observer) {}

void EditRecorder::Run(std::unique_ptr<EditStep> step) {
    DoStep(*step, project_, observer_);
    edit_.steps_.push_back(std::move(step));
}

void EditRecorder::SetValue(const FieldRef& ref, const FieldValue& value) {
    auto step = std::make_unique<ValueStep>();
    step->ref = ref;
    step->before = ReadField(project_, ref);
    if (Field(ref.field).scope != FieldScope::Project) step->record = project_.DialogAt(ref.dialog);
    step->after = StoredValue(ref.field, value);
    if (step->before != step->after) Run(std::move(step));
}

void EditRecorder::SetLink(int dialog, int slot, TDialogItem* target) {
    auto step = std::make_unique<LinkStep>();
    step->dialog = dialog;
    step->slot = slot;
    step->before = DialogOf(project_, dialog).LinkDialog.at(static_cast<std::size_t>(slot));
    step->after = target;
    if (step->before != step->after) Run(std::move(step));
}

void EditRecorder::SetFollowUp(int dialog, int slot, std::int32_t number) {
    SetValue({FieldId::Function, dialog, slot}, FieldValue::Number(number));
    SetLink(dialog, slot, project_.FindByFunction(number));
}

void EditRecorder::SetSlot(int dialog, int slot, const SlotContent& content) {
    auto step = std::make_unique<SlotStep>();
    step->dialog = dialog;
    step->slot = slot;
    CheckSlot(slot);
    step->before = SlotContent::Of(DialogOf(project_, dialog), slot);
    step->after = content;
    if (!(step->before == step->after)) Run(std::move(step));
}

void EditRecorder::ShiftSlots(int dialog, int slot, bool insert) {
    CheckSlot(slot);
    DialogOf(project_, dialog);
    auto step = std::make_unique<SlotShiftStep>();
    step->insert = insert;
    step->dialog = dialog;
    step->slot = slot;
    Run(std::move(step));
}

void EditRecorder::SwapSlots(int dialog, int a, int b) {
    CheckSlot(a);
    CheckSlot(b);
    DialogOf(project_, dialog);
    if (a == b) return;
    auto step = std::make_unique<SwapStep>();
    step->dialog = dialog;
    step->a = a;
    step->b = b;
    Run(std::move(step));
}

TDialogItem* EditRecorder::InsertDialog(int position, std::unique_ptr<TDialogItem> dialog) {
    auto step = std::make_unique<DialogStep>();
    step->insert = true;
    step->position = std::clamp(position, 0, project_.DialogCount());
    TDialogItem* d = dialog.get();
    step->held = std::move(dialog);
    Run(std::move(step));
    return d;
}

void EditRecorder::RemoveDialog(int position) {
    DialogOf(project_, position);
    auto step = std::make_unique<DialogStep>();
    step->insert = false;
    step->position = position;
    Run(std::move(step));
}

void EditRecorder::MoveDialog(int from, int to) {
    const int count = project_.DialogCount();
    if (from < 0 || from >= count || to < 0 || to >= count) throw Error("No such dialog");
    if (from == to) return;
    auto step = std::make_unique<MoveStep>();
    step->from = from;
    step->to = to;
    Run(std::move(step));
}

} // namespace kv
