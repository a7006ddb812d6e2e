#include "model/dialog_item.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

namespace kv {

VariantSlots::VariantSlots(const VariantSlots& other) {
    *this = other;
}

VariantSlots::VariantSlots(VariantSlots&& other) {
    *this = std::move(other);
}

VariantSlots& VariantSlots::operator=(const VariantSlots& other) {
    if (this == &other) return *this;
    TVariantData* copy = nullptr;
    if (other.kept_ > 0) {
        copy = new TVariantData[other.kept_];
        try {
            std::copy_n(other.records_, other.kept_, copy);
        } catch (...) {
            delete[] copy;
            throw;
        }
    }
    Adopt(copy, other.kept_);
    return *this;
}

VariantSlots& VariantSlots::operator=(VariantSlots&& other) {
    if (this == &other) return *this;
    if (!other.own_) return *this = other; // its block stays with its dialog
    Adopt(std::exchange(other.records_, nullptr), std::exchange(other.kept_, 0));
    return *this;
}

void VariantSlots::Release() noexcept {
    if (own_) delete[] records_;
    else std::destroy_n(records_, kept_);
    records_ = nullptr;
}

void VariantSlots::Adopt(TVariantData* owned, std::size_t count) noexcept {
    Release();
    records_ = owned;
    kept_ = static_cast<std::uint8_t>(count);
    own_ = true;
}

const TVariantData& VariantSlots::Blank() {
    static const TVariantData blank;
    return blank;
}

void VariantSlots::KeepAll() {
    if (kept_ == kSlotCount) return;
    auto* all = new TVariantData[kSlotCount];
    std::move(records_, records_ + kept_, all);
    Adopt(all, kSlotCount);
}

std::size_t VariantSlots::UpToLastUsed(const TVariantData* from, std::size_t count) {
    while (count > 0 && from[count - 1] == Blank())
        --count;
    return count;
}

void VariantSlots::KeepFrom(TVariantData* from, std::size_t count) {
    count = UpToLastUsed(from, count);
    TVariantData* kept = nullptr;
    if (count > 0) {
        kept = new TVariantData[count];
        for (std::size_t i = 0; i < count; ++i)
            std::swap(kept[i], from[i]); // the blank records go back into `from`
    }
    Adopt(kept, count);
}

void VariantSlots::Trim() {
    if (kept_ == 0 || !(records_[kept_ - 1u] == Blank())) return;
    VariantSlots old = std::move(*this); // a dialog's block stays where it is
    KeepFrom(old.records_, old.kept_);
}

TVariantData* VariantSlots::FillInPlace(TextPacker& packer, PackedTexts& keeper) {
    Adopt(nullptr, 0);
    auto* room = static_cast<TVariantData*>(
        packer.Room(kSlotCount * sizeof(TVariantData), alignof(TVariantData), keeper));
    std::uninitialized_value_construct_n(room, kSlotCount); // blank records construct no text
    records_ = room;
    kept_ = kSlotCount;
    own_ = false;
    return room;
}

void VariantSlots::EndFill(std::size_t used, TextPacker& packer) {
    const std::size_t count = std::min<std::size_t>(used, kept_);
    std::destroy(records_ + count, records_ + kept_);
    packer.GiveBack(records_ + count, (kept_ - count) * sizeof(TVariantData));
    kept_ = static_cast<std::uint8_t>(count);
    if (count == 0) records_ = nullptr;
}

bool operator==(const VariantSlots& a, const VariantSlots& b) {
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        if (!(a[i] == b[i])) return false;
    }
    return true;
}

int TDialogItem::FirstFreeSlot() const {
    for (int k = 0; k < kSlotCount; ++k) {
        if (!SlotInUse(k)) return k;
    }
    return -1;
}

int TDialogItem::SlotEnd() const {
    for (int k = kSlotCount - 1; k >= 0; --k) {
        if (SlotInUse(k)) return k + 1;
    }
    return 0;
}

int TDialogItem::SlotsInUse() const {
    int n = 0;
    for (int k = 0; k < kSlotCount; ++k) n += SlotInUse(k) ? 1 : 0;
    return n;
}

void TDialogItem::CopySlotFrom(const TDialogItem& source, int from, int to) {
    auto f = static_cast<std::size_t>(from), t = static_cast<std::size_t>(to);
    Variant[t] = source.Variant[f];
    Function[t] = source.Function[f];
    LinkDialog[t] = source.LinkDialog[f];
    // The target first: making room for all twelve records moves them, and the source may be
    // this dialog.
    TVariantData& target = Variants[t];
    target = source.Variants[f];
}

void TDialogItem::SwapSlots(int a, int b) {
    auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
    std::swap(Variants[i], Variants[j]);
    std::swap(Variant[i], Variant[j]);
    std::swap(LinkDialog[i], LinkDialog[j]);
    std::swap(Function[i], Function[j]);
    std::array<int, kSlotCount> newSlot;
    for (int k = 0; k < kSlotCount; ++k) newSlot[static_cast<std::size_t>(k)] = k;
    std::swap(newSlot[i], newSlot[j]);
    FollowMarks(newSlot);
}

void TDialogItem::FollowMarks(const std::array<int, kSlotCount>& newSlot) {
    if (VariantEscape < kSlotCount) {
        const int to = newSlot[VariantEscape];
        VariantEscape = static_cast<std::uint8_t>(to < 0 ? 0 : to);
    }
    if (VariantDefault >= 1 && VariantDefault <= kSlotCount) {
        const int to = newSlot[VariantDefault - 1u];
        VariantDefault = static_cast<std::uint8_t>(to < 0 ? 0 : to + 1);
    }
}

} // namespace kv
