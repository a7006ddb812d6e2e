#pragma once

#include "model/fields.h"
#include "model/project.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

// A dialog or an answer of the project by position: the dialog at list position `dialog`, and
// its answer slot `slot`, or the dialog itself when slot is -1. Edits and the views name things
// this way; no pointer into the list is kept across edits.
struct Place {
    int dialog = -1;
    int slot = -1;
    friend bool operator==(const Place&, const Place&) = default;
};

// One change an edit makes, as the views that show the project need to hear of it. Positions
// are those of the list at the moment of the change.
struct ProjectChange {
    enum class Kind : std::uint8_t {
        Value,          // `field` of dialog `dialog`, line or slot `slot`; dialog -1: the project's
        Link,           // the follow-up link of slot `slot` of dialog `dialog`
        Slot,           // slot `slot` of dialog `dialog` replaced whole
        SlotInserted,   // a free slot opened at `slot`; the later ones moved on, slot 11 dropped
        SlotRemoved,    // slot `slot` removed; the later ones moved back, slot 11 now free
        SlotsSwapped,   // slots `slot` and `other` exchanged
        DialogInserted, // a dialog put at position `dialog`
        DialogRemoved,  // the dialog at position `dialog` left the list
        DialogMoved,    // the dialog at position `dialog` moved; `other` is its position after
                        // (an item model's destination row is other + 1 when it moves down)
    };
    Kind kind = Kind::Value;
    int dialog = -1;
    int slot = -1;
    int other = -1;
    FieldId field = FieldId::Hint;
    friend bool operator==(const ProjectChange&, const ProjectChange&) = default;
};
// Slot changes may also move the dialog's escape and default answer (TDialogItem::FollowMarks);
// a view that shows them reads them again after any slot change.

// Hears each change just before and just after it is made, so that an item model can announce
// rows before they come and go. Either may be left as it is.
class ProjectObserver {
public:
    virtual ~ProjectObserver() = default;
    virtual void Changing(const ProjectChange&) {}
    virtual void Changed(const ProjectChange&) {}
};

class EditRecorder;
struct EditStep;

// One undoable edit of a project: the model half of one command. The first Apply works out the
// change from the project as it then is and keeps, step by step, only what it needs to restore:
// old values, the slot an insertion pushed out, a removed dialog record itself together with the
// links that led to it. Revert undoes the steps in reverse order; a later Apply does them again.
// Apply and Revert must alternate, starting with Apply, on a project in the state the edit left
// it in (the undo stack guarantees this); replacing the whole project ends the history.
//
// Dialog records that an edit takes out of the list are kept by the edit and put back as the
// same objects, so the links that other records hold stay valid through undo and redo.
//
// Apply and Revert set the project's Modified; the document owning the history clears it again
// when it returns to its saved state. The document wraps each edit in an undo command whose
// redo calls Apply and whose undo calls Revert; an edit that is Empty() after its first Apply
// is dropped rather than kept as a step that does nothing.
class Edit {
public:
    using Plan = std::function<void(EditRecorder&)>;

    // `name` is the short UTF-8 text of the undo menu ("удаление диалога").
    Edit(std::string name, Plan plan);
    ~Edit();
    Edit(const Edit&) = delete;
    Edit& operator=(const Edit&) = delete;

    void Apply(Project& project, ProjectObserver* observer = nullptr);
    void Revert(Project& project, ProjectObserver* observer = nullptr);

    const std::string& Name() const { return name_; }
    // After the first Apply: true when the edit found nothing to change; such an edit need not
    // enter the history.
    bool Empty() const { return steps_.empty(); }
    // Where the user's attention goes after Apply: the new dialog, the new or moved answer.
    Place Focus() const { return focus_; }

private:
    friend class EditRecorder;
    std::string name_;
    Plan plan_;
    std::vector<std::unique_ptr<EditStep>> steps_;
    Place focus_;
};

// One answer slot whole: its record, caption, link and number.
struct SlotContent {
    TVariantData data;
    CaptionString caption;
    TDialogItem* link = nullptr;
    std::int32_t function = 0;

    static SlotContent Of(const TDialogItem& dialog, int k);
    void WriteTo(TDialogItem& dialog, int k) const;
    friend bool operator==(const SlotContent&, const SlotContent&) = default;
};

// What a plan works with: each operation changes the project at once, tells the observer, and
// is kept as a step of the edit. Operations that would change nothing keep no step.
class EditRecorder {
public:
    EditRecorder(Edit& edit, Project& project, ProjectObserver* observer);

    Project& project() const { return project_; }
    void Focus(Place place) { edit_.focus_ = place; }

    void SetValue(const FieldRef& ref, const FieldValue& value);
    void SetLink(int dialog, int slot, TDialogItem* target);
    // The follow-up as the variant grid stores it: the number, and a link to the first dialog
    // with that number (none when no dialog has it).
    void SetFollowUp(int dialog, int slot, std::int32_t number);
    void SetSlot(int dialog, int slot, const SlotContent& content);
    void InsertSlot(int dialog, int slot) { ShiftSlots(dialog, slot, true); }
    void DeleteSlot(int dialog, int slot) { ShiftSlots(dialog, slot, false); }
    void SwapSlots(int dialog, int a, int b);
    TDialogItem* InsertDialog(int position, std::unique_ptr<TDialogItem> dialog);
    // Links into the removed dialog become plain numbers, as Project::RemoveDialog makes them.
    void RemoveDialog(int position);
    void MoveDialog(int from, int to);

private:
    void Run(std::unique_ptr<EditStep> step);
    void ShiftSlots(int dialog, int slot, bool insert);
    Edit& edit_;
    Project& project_;
    ProjectObserver* observer_;
};

} // namespace kv
