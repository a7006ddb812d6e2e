#include "model/project.h"

#include "model/flat_table.h"
#include "text/parallel.h"

#include <array>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

namespace kv {

namespace {
bool ValidSlot(int k) { return k >= 0 && k < kSlotCount; }
} // namespace

Project::~Project() { ClearDialogs(); }

Project::Project(Project&& other) noexcept { swap(other); }

Project& Project::operator=(Project&& other) noexcept {
    if (this != &other) {
        Project old(std::move(*this));
        swap(other);
    }
    return *this;
}

void Project::swap(Project& other) noexcept {
    std::swap(FunctionStart, other.FunctionStart);
    std::swap(ScriptFile, other.ScriptFile);
    std::swap(ProjectFileName, other.ProjectFileName);
    std::swap(Modified, other.Modified);
    std::swap(head_, other.head_);
    std::swap(tail_, other.tail_);
    std::swap(count_, other.count_);
    std::swap(cursor_, other.cursor_);
    std::swap(cursorPosition_, other.cursorPosition_);
}

TDialogItem* Project::FindByFunction(std::int32_t n) const {
    for (TDialogItem* d = head_; d; d = d->Next) {
        if (d->FunctionNumber == n) return d;
    }
    return nullptr;
}

TDialogItem* Project::DialogAt(int position) const {
    if (position < 0) return nullptr;
    TDialogItem* d = head_;
    int i = 0;
    if (cursor_ && cursorPosition_ <= position) {
        d = cursor_;
        i = cursorPosition_;
    }
    for (; d && i < position; ++i) d = d->Next;
    if (d) {
        cursor_ = d;
        cursorPosition_ = position;
    }
    return d;
}

int Project::IndexOfDialog(const TDialogItem* dialog) const {
    if (!dialog) return -1;
    int i = 0;
    for (const TDialogItem* d = head_; d; d = d->Next, ++i) {
        if (d == dialog) return i;
    }
    return -1;
}

TDialogItem* Project::AppendDialog(std::unique_ptr<TDialogItem> dialog) {
    TDialogItem* d = dialog.release();
    d->Next = nullptr;
    // A dialog read from a file has had every slot written; most of them are blank.
    d->Variants.Trim();
    if (tail_) tail_->Next = d;
    else head_ = d;
    tail_ = d;
    ++count_;
    return d;
}

TDialogItem* Project::AppendDialog() { return AppendDialog(std::make_unique<TDialogItem>()); }

void Project::AppendDialogs(Project&& other) {
    if (!other.head_ || &other == this) return;
    if (tail_) tail_->Next = other.head_;
    else head_ = other.head_;
    tail_ = other.tail_;
    count_ += other.count_;
    other.head_ = other.tail_ = other.cursor_ = nullptr;
    other.count_ = 0;
}

std::unique_ptr<TDialogItem> Project::TakeDialog(int position) {
    if (position < 0 || !head_) return nullptr;
    cursor_ = nullptr;
    TDialogItem* previous = nullptr;
    TDialogItem* d = head_;
    for (int i = 0; d && i < position; ++i) {
        previous = d;
        d = d->Next;
    }
    if (!d) return nullptr;
    if (previous) previous->Next = d->Next;
    else head_ = d->Next;
    if (tail_ == d) tail_ = previous;
    --count_;
    d->Next = nullptr;
    return std::unique_ptr<TDialogItem>(d);
}

TDialogItem* Project::InsertDialog(int position, std::unique_ptr<TDialogItem> dialog) {
    if (position >= count_) return AppendDialog(std::move(dialog));
    cursor_ = nullptr;
    TDialogItem* d = dialog.release();
    if (position <= 0) {
        d->Next = head_;
        head_ = d;
    } else {
        TDialogItem* previous = DialogAt(position - 1);
        d->Next = previous->Next;
        previous->Next = d;
    }
    ++count_;
    return d;
}

void Project::RemoveDialog(int position) {
    std::unique_ptr<TDialogItem> d = TakeDialog(position);
    if (d) UnlinkFrom(*d);
}

std::vector<Project::UnlinkedSlot> Project::UnlinkFrom(const TDialogItem& removed) {
    std::vector<UnlinkedSlot> changed;
    for (TDialogItem* other = head_; other; other = other->Next) {
        for (std::size_t k = 0; k < kSlotCount; ++k) {
            if (other->LinkDialog[k] != &removed) continue;
            changed.push_back({other, k, other->Function[k]});
            other->LinkDialog[k] = nullptr;
            other->Function[k] = removed.FunctionNumber;
        }
    }
    return changed;
}

void Project::ClearDialogs() {
    TDialogItem* d = head_;
    while (d) {
        TDialogItem* next = d->Next;
        delete d;
        d = next;
    }
    head_ = tail_ = nullptr;
    count_ = 0;
    cursor_ = nullptr;
}

void ClearSlotData(TDialogItem& dialog, int k) {
    auto i = static_cast<std::size_t>(k);
    dialog.Variant[i].clear();
    dialog.LinkDialog[i] = nullptr;
    dialog.Function[i] = 0;
    dialog.Variants[i] = TVariantData{};
}

void Project::InsertSlot(TDialogItem& dialog, int k) {
    if (!ValidSlot(k)) return;
    for (int j = kSlotCount - 2; j >= k; --j) dialog.CopySlotFrom(dialog, j, j + 1);
    ClearSlotData(dialog, k);
    std::array<int, kSlotCount> newSlot;
    for (int j = 0; j < kSlotCount; ++j) newSlot[static_cast<std::size_t>(j)] = j < k ? j : j + 1;
    newSlot[kSlotCount - 1] = -1; // pushed out of the dialog
    dialog.FollowMarks(newSlot);
    Modified = true;
}

void Project::DeleteSlot(TDialogItem& dialog, int k) {
    if (!ValidSlot(k)) return;
    for (int j = k; j < kSlotCount - 1; ++j) dialog.CopySlotFrom(dialog, j + 1, j);
    ClearSlotData(dialog, kSlotCount - 1);
    std::array<int, kSlotCount> newSlot;
    for (int j = 0; j < kSlotCount; ++j)
        newSlot[static_cast<std::size_t>(j)] = j < k ? j : j == k ? -1 : j - 1;
    dialog.FollowMarks(newSlot);
    Modified = true;
}

void Project::RebuildLinks() {
    std::vector<TDialogItem*> inListOrder;
    inListOrder.reserve(static_cast<std::size_t>(count_));
    for (TDialogItem* d = head_; d; d = d->Next)
        inListOrder.push_back(d);
    RebuildLinks(inListOrder);
}

namespace {

// Asks for the memory of an address to be brought into the cache, where the compiler can.
inline void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

} // namespace

void Project::RebuildLinks(const std::vector<TDialogItem*>& inListOrder) {
    // The first dialog of each number, as a walk from the head would find it.
    FlatTable<std::int32_t, TDialogItem*> first(inListOrder.size());
    // The records of a large project are out of the cache by now: each is asked for a few
    // records ahead of its turn, so that the waits overlap.
    constexpr std::size_t kAhead = 8;
    const std::size_t count = inListOrder.size();
    for (std::size_t j = 0; j < count; ++j) {
        if (j + kAhead < count) Prefetch(&inListOrder[j + kAhead]->FunctionNumber);
        TDialogItem* d = inListOrder[j];
        first.TryEmplace(d->FunctionNumber, d);
    }
    // The table is complete and no longer changes: the links of a large project are set in
    // parts side by side.
    constexpr std::size_t kLeastDialogsPerPart = 1000;
    const std::size_t parts = PartsFor(count, kLeastDialogsPerPart);
    RunParts(parts, [&](std::size_t part) {
        const auto [begin, end] = RangeOfPart(count, parts, part);
        for (std::size_t j = begin; j < end; ++j) {
            if (j + kAhead < end) {
                Prefetch(&inListOrder[j + kAhead]->Function);
                Prefetch(&inListOrder[j + kAhead]->LinkDialog);
            }
            TDialogItem* d = inListOrder[j];
            for (std::size_t k = 0; k < kSlotCount; ++k) {
                TDialogItem* const* linked = first.Find(d->Function[k]);
                d->LinkDialog[k] = linked ? *linked : nullptr;
            }
        }
    });
}

void Project::Clear() {
    ClearDialogs();
    ProjectFileName.clear();
    ScriptFile.clear();
    Modified = false;
}

} // namespace kv
