#include "model/dialog_item.h"

#include <algorithm>
#include <utility>

namespace kv {

VariantSlots::VariantSlots(const VariantSlots& other) {
    *this = other;
}

VariantSlots& VariantSlots::operator=(const VariantSlots& other) {
    if (this == &other) return *this;
    if (other.kept_ == 0) {
        records_.reset();
    } else {
        auto copy = std::make_unique<TVariantData[]>(other.kept_);
        std::copy_n(other.records_.get(), other.kept_, copy.get());
        records_ = std::move(copy);
    }
    kept_ = other.kept_;
    return *this;
}

const TVariantData& VariantSlots::Blank() {
    static const TVariantData blank;
    return blank;
}

void VariantSlots::KeepAll() {
    if (kept_ == kSlotCount) return;
    auto all = std::make_unique<TVariantData[]>(kSlotCount);
    std::move(records_.get(), records_.get() + kept_, all.get());
    records_ = std::move(all);
    kept_ = kSlotCount;
}

void VariantSlots::KeepFrom(TVariantData* from, std::size_t count) {
    while (count > 0 && from[count - 1] == Blank())
        --count;
    std::unique_ptr<TVariantData[]> kept;
    if (count > 0) {
        kept = std::make_unique<TVariantData[]>(count);
        for (std::size_t i = 0; i < count; ++i)
            std::swap(kept[i], from[i]); // the blank records go back into `from`
    }
    records_ = std::move(kept);
    kept_ = static_cast<std::uint8_t>(count);
}

void VariantSlots::Trim() {
    if (kept_ == 0 || !(records_[kept_ - 1u] == Blank())) return;
    const std::unique_ptr<TVariantData[]> old = std::move(records_);
    KeepFrom(old.get(), kept_);
}

void VariantSlots::TakeFrom(std::array<TVariantData, kSlotCount>& all, std::size_t used) {
    KeepFrom(all.data(), std::min<std::size_t>(used, kSlotCount));
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
