#include "model/dialog_item.h"

#include "model/fields.h"

#include <utility>

namespace kv {

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
    Variants[t] = source.Variants[f];
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

namespace {
template <class Record> auto& Resource(Record& v, FieldId id) {
    return v.*std::get<std::uint16_t TVariantData::*>(Field(id).member);
}
} // namespace

std::uint16_t& TVariantData::Cost(int r) { return Resource(*this, CostField(r)); }
std::uint16_t TVariantData::Cost(int r) const { return Resource(*this, CostField(r)); }
std::uint16_t& TVariantData::Reward(int r) { return Resource(*this, RewardField(r)); }
std::uint16_t TVariantData::Reward(int r) const { return Resource(*this, RewardField(r)); }

} // namespace kv
