#pragma once

#include "text/fixed_string.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

namespace kv {

constexpr int kSlotCount = 12;     // answer slots of a dialog
constexpr int kTextLineCount = 30; // lines of a dialog's message
constexpr int kSkillCount = 28;    // the game's secondary skills, Skill 1..28 (0 is none)
constexpr int kResourceCount = 8;  // wood, mercury, ore, sulfur, crystals, gems, gold, mythril

// One answer of a dialog: its requirements, costs, rewards and variable. Fields in the order the
// project file and the grids know them by name.
struct TVariantData {
    std::uint8_t Skill = 0;  // 0 none, 1..28 a secondary skill
    std::uint8_t Slevel = 0; // minimum level of that skill
    CaptionString FailOn;    // ERM condition under which the answer is not offered
    std::uint16_t Wood = 0, Merc = 0, Ore = 0, Sulf = 0, Cryst = 0, Gems = 0, Gold = 0, Myth = 0;
    std::uint16_t Artefact = 0;
    std::uint16_t giveWood = 0, giveMerc = 0, giveOre = 0, giveSulf = 0, giveCryst = 0,
                  giveGems = 0, giveGold = 0, giveMyth = 0;
    std::int32_t Variable = 0;
    std::int32_t DVariable = 0;
    std::int32_t SVariable = 0;

    // The cost and the reward in resource r (0..7), in the order of the table of fields (which
    // checks that it names the same members). Inline: a load and a save call them for every
    // slot of every dialog.
    std::uint16_t& Cost(int r) { return this->*kCostMembers[static_cast<std::size_t>(r)]; }
    std::uint16_t Cost(int r) const { return this->*kCostMembers[static_cast<std::size_t>(r)]; }
    std::uint16_t& Reward(int r) { return this->*kRewardMembers[static_cast<std::size_t>(r)]; }
    std::uint16_t Reward(int r) const {
        return this->*kRewardMembers[static_cast<std::size_t>(r)];
    }
    using ResourceMember = std::uint16_t TVariantData::*;
    static const std::array<ResourceMember, kResourceCount> kCostMembers;
    static const std::array<ResourceMember, kResourceCount> kRewardMembers;

    friend bool operator==(const TVariantData&, const TVariantData&) = default;
};

inline constexpr std::array<TVariantData::ResourceMember, kResourceCount>
    TVariantData::kCostMembers = {&TVariantData::Wood, &TVariantData::Merc, &TVariantData::Ore,
                                  &TVariantData::Sulf, &TVariantData::Cryst, &TVariantData::Gems,
                                  &TVariantData::Gold, &TVariantData::Myth};
inline constexpr std::array<TVariantData::ResourceMember, kResourceCount>
    TVariantData::kRewardMembers = {
        &TVariantData::giveWood, &TVariantData::giveMerc,  &TVariantData::giveOre,
        &TVariantData::giveSulf, &TVariantData::giveCryst, &TVariantData::giveGems,
        &TVariantData::giveGold, &TVariantData::giveMyth};

// The twelve answer records of a dialog, read and written like an array of twelve. Most dialogs
// use a few answers, and the records of the free slots after them are blank: only the records up
// to the last one that is not blank are kept, on the heap. Reading a slot past them gives a blank
// record. Writing access (the non-const operator[] and begin) keeps all twelve first, so that a
// reference stays valid while other slots are written; Trim() gives the blank tail back.
class VariantSlots {
public:
    VariantSlots() noexcept = default;
    VariantSlots(const VariantSlots& other);
    // Moving records that lie in their dialog's block (see FillInPlace) copies them into a block
    // of their own, as a text's bytes are: the block goes with its dialog.
    VariantSlots(VariantSlots&& other);
    VariantSlots& operator=(const VariantSlots& other);
    VariantSlots& operator=(VariantSlots&& other);
    ~VariantSlots() { Release(); }

    static constexpr std::size_t size() { return kSlotCount; }

    const TVariantData& operator[](std::size_t i) const {
        return i < kept_ ? records_[i] : Blank();
    }
    TVariantData& operator[](std::size_t i) {
        KeepAll();
        return records_[i];
    }

    class ConstIterator {
    public:
        using value_type = TVariantData;
        using difference_type = std::ptrdiff_t;
        using reference = const TVariantData&;
        using pointer = const TVariantData*;
        using iterator_category = std::forward_iterator_tag;
        ConstIterator() = default;
        ConstIterator(const VariantSlots* slots, std::size_t i) : slots_(slots), i_(i) {}
        reference operator*() const { return (*slots_)[i_]; }
        pointer operator->() const { return &(*slots_)[i_]; }
        ConstIterator& operator++() {
            ++i_;
            return *this;
        }
        ConstIterator operator++(int) {
            ConstIterator before = *this;
            ++i_;
            return before;
        }
        friend bool operator==(const ConstIterator&, const ConstIterator&) = default;

    private:
        const VariantSlots* slots_ = nullptr;
        std::size_t i_ = 0;
    };
    using const_iterator = ConstIterator;
    using iterator = TVariantData*;
    ConstIterator begin() const { return {this, 0}; }
    ConstIterator end() const { return {this, kSlotCount}; }
    TVariantData* begin() {
        KeepAll();
        return records_;
    }
    TVariantData* end() { return begin() + kSlotCount; }

    // Keeps only the records up to the last one that is not blank. References into the slots
    // are invalid afterwards.
    void Trim();
    // For a reader that fills the answers where they are kept: all twelve records, blank, in
    // the block `packer` fills, which `keeper` (the dialog's PackedTexts) keeps; their texts may
    // lie in that block too. EndFill(used) then keeps the first `used` records (the others must
    // be blank) and gives the room of the rest back. Filling the slots through operator[] would
    // make all twelve on the heap and then trim them, and a block of their own would cost an
    // allocation for every dialog of a large project.
    TVariantData* FillInPlace(TextPacker& packer, PackedTexts& keeper);
    void EndFill(std::size_t used, TextPacker& packer);

    friend bool operator==(const VariantSlots& a, const VariantSlots& b);

private:
    static const TVariantData& Blank();
    void KeepAll();
    // How many of the first `count` records of `from` there are up to the last one that is not
    // blank.
    static std::size_t UpToLastUsed(const TVariantData* from, std::size_t count);
    // Keeps the first `count` records of `from` up to the last one that is not blank, in a
    // block of their own, and leaves blank records in their places.
    void KeepFrom(TVariantData* from, std::size_t count);
    // Gives the records up: a block of their own is freed, records in a dialog's block are only
    // ended (the block goes with the dialog).
    void Release() noexcept;
    // Gives the records up and keeps `count` records in `owned`, a block of their own (new[]).
    void Adopt(TVariantData* owned, std::size_t count) noexcept;

    TVariantData* records_ = nullptr; // kept_ records, or null when none is kept
    std::uint8_t kept_ = 0;
    bool own_ = true; // records_ is a block of their own (new[]), else room in a dialog's block
};

// One dialog: one ERM function with its message and up to twelve answers. A record of values:
// copying it copies its texts and answers, and its references (LinkDialog, Next) as references. A blank record (the default)
// has every text empty, every number 0 and every reference null.
//
// Slot i of the answers is four parallel parts that always move together: Variants[i],
// Variant[i] (the caption), LinkDialog[i] (the follow-up dialog) and Function[i] (the follow-up
// number, which counts while the link is null).
struct TDialogItem {
    // The bytes of the texts a reader packed into this record (TextPacker); not a value of the
    // dialog. First, so that it goes last: the texts look at their block when they go.
    PackedTexts Packed;
    std::int32_t FunctionNumber = 0;
    HintString Hint;
    LineString ScriptBefore;
    std::array<LineString, kTextLineCount> Text; // message lines 1..30 at indexes 0..29
    LineString ScriptAfter;
    HintString Header;
    VariantSlots Variants;
    std::uint8_t VariantEscape = 0; // 0-based slot whose effects apply when a requirement fails
    std::array<CaptionString, kSlotCount> Variant;
    std::array<TDialogItem*, kSlotCount> LinkDialog{};
    std::array<std::int32_t, kSlotCount> Function{};
    std::uint8_t VariantDefault = 0; // 1-based preselected answer, 0 for none
    TDialogItem* Next = nullptr;     // owned by the dialog list

    // A slot is in use when it has a caption, a link or a follow-up number.
    bool SlotInUse(int k) const {
        auto i = static_cast<std::size_t>(k);
        return !Variant[i].empty() || LinkDialog[i] != nullptr || Function[i] != 0;
    }
    // The function the answer leads to: the linked dialog's current number, else Function[k].
    std::int32_t FollowUp(int k) const {
        auto i = static_cast<std::size_t>(k);
        return LinkDialog[i] ? LinkDialog[i]->FunctionNumber : Function[i];
    }
    bool HasFollowUp(int k) const {
        auto i = static_cast<std::size_t>(k);
        return LinkDialog[i] != nullptr || Function[i] != 0;
    }
    // The first free slot, or -1 when all twelve are in use.
    int FirstFreeSlot() const;
    // One past the last slot in use (0 when none is in use).
    int SlotEnd() const;
    int SlotsInUse() const;

    // Copies all four parts of slot `from` of `source` into slot `to` of this dialog.
    void CopySlotFrom(const TDialogItem& source, int from, int to);
    // Exchanges two slots; the escape and the default answer go with theirs.
    void SwapSlots(int a, int b);

    // The escape and the default answer follow their answer when slots move: newSlot[k] is where
    // the answer of slot k went, or -1 when it left the dialog. A mark whose answer left falls
    // back to 0, as in a blank dialog: the escape to slot 0, the default to none. A mark that
    // names no slot (above 11, above 12 for the default) is left as it is.
    void FollowMarks(const std::array<int, kSlotCount>& newSlot);
};

} // namespace kv
