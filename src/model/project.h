#pragma once

#include "model/dialog_item.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

// The most dialogs a project read from a file may hold (a project file or an INI import): a
// record holds at most about 13 KB of texts and answers, so this bounds what a file can make the
// program allocate at 1.3 GB. A larger file is refused with a message rather than taking all the
// memory there is.
constexpr std::int64_t kMaxDialogs = 100000;

// The open project: the one list of dialogs and the four project values. The CLI, the editor
// and every test hold a Project of their own.
//
// The list owns its records. Dialogs() is the head; each record's Next is the following one.
// Lookups by function number take the first match from the head.
class Project {
public:
    Project() = default;
    ~Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;
    Project(Project&& other) noexcept;
    Project& operator=(Project&& other) noexcept;

    std::int32_t FunctionStart = 1000; // number of the first dialog created in an empty list
    std::string ScriptFile;            // Windows-1251 bytes, as the project file stores it
    std::string ProjectFileName;       // UTF-8 file-system path; empty when there is no file
    bool Modified = false;

    TDialogItem* Dialogs() const { return head_; }
    TDialogItem* LastDialog() const { return tail_; }
    int DialogCount() const { return count_; }

    // The first dialog from the head whose FunctionNumber is n; null when there is none.
    TDialogItem* FindByFunction(std::int32_t n) const;
    // The dialog at 0-based position; null for a negative position or one past the tail.
    TDialogItem* DialogAt(int position) const;
    // The position of a dialog; -1 for null or a dialog that is not in the list.
    int IndexOfDialog(const TDialogItem* dialog) const;

    // Puts a dialog at the tail; the list takes ownership. Returns the appended record.
    TDialogItem* AppendDialog(std::unique_ptr<TDialogItem> dialog);
    TDialogItem* AppendDialog(); // a blank one
    // Moves every dialog of `other` to the tail, in their order, and leaves `other` without
    // dialogs: a reader that made a project's dialogs in parts side by side puts them together.
    void AppendDialogs(Project&& other);
    // Unlinks and frees the dialog at position (nothing for a position outside the list). Every
    // link into it becomes a plain number: the slot's link is set to null and its Function to the
    // removed dialog's FunctionNumber, so that the follow-up stays what it was.
    void RemoveDialog(int position);
    // The part of RemoveDialog that turns every link into `removed` into its plain number, for a
    // record already taken out of the list. Gives the slots it changed, with the number each
    // held before, so that an undo can lead them back.
    struct UnlinkedSlot {
        TDialogItem* from;
        std::size_t slot;
        std::int32_t function;
    };
    std::vector<UnlinkedSlot> UnlinkFrom(const TDialogItem& removed);
    // Unlinks the dialog at position and hands it over, links into it untouched; null for a
    // position outside the list. Edits keep a taken record and put the same one back on undo, so
    // that every link into it stays valid.
    std::unique_ptr<TDialogItem> TakeDialog(int position);
    // Puts a dialog at position (0..DialogCount(); the count appends) and returns it.
    TDialogItem* InsertDialog(int position, std::unique_ptr<TDialogItem> dialog);
    void ClearDialogs();

    // Slot operations; k outside 0..11 does nothing and leaves Modified alone. Each moves whole
    // slots (all four parts) and sets Modified.
    void InsertSlot(TDialogItem& dialog, int k); // slots k..10 move up, slot 11 is dropped
    void DeleteSlot(TDialogItem& dialog, int k); // slots k+1..11 move down, slot 11 is cleared

    // Sets every slot's LinkDialog (in use or not, also for Function 0) to the first dialog whose
    // FunctionNumber equals the slot's Function, or null. Linear in the size of the project.
    void RebuildLinks();
    // The same for a caller that holds every dialog of the list, in list order, as a reader
    // that has just made them does: the records are reached from the array, several at once,
    // instead of one after the other along the list, where each waits for the memory of the one
    // before it.
    void RebuildLinks(const std::vector<TDialogItem*>& inListOrder);

    // Frees all dialogs, empties ProjectFileName and ScriptFile and clears Modified.
    // FunctionStart keeps its value.
    void Clear();

    void swap(Project& other) noexcept;

private:
    TDialogItem* head_ = nullptr;
    TDialogItem* tail_ = nullptr;
    int count_ = 0;
    // Where DialogAt last arrived, so that lookups of ascending positions (the values of one
    // edit, in list order) go on from there rather than from the head each time. A change of
    // the list's order forgets it. (A project is used from one thread only.)
    mutable TDialogItem* cursor_ = nullptr;
    mutable int cursorPosition_ = 0;
};

// Every slot of a record back to free: caption empty, no link, Function 0, its data blank.
void ClearSlotData(TDialogItem& dialog, int k);

} // namespace kv
