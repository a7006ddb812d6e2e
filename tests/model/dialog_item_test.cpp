#include "model/dialog_item.h"

#include "slot_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>

namespace {

using kv::TDialogItem;
using kv::TVariantData;

// The widths decide which low bits a stored number keeps; the file and the grids rely on them.
static_assert(std::is_same_v<decltype(TVariantData::Skill), std::uint8_t>);
static_assert(std::is_same_v<decltype(TVariantData::Slevel), std::uint8_t>);
static_assert(std::is_same_v<decltype(TVariantData::Wood), std::uint16_t>);
static_assert(std::is_same_v<decltype(TVariantData::Artefact), std::uint16_t>);
static_assert(std::is_same_v<decltype(TVariantData::giveMyth), std::uint16_t>);
static_assert(std::is_same_v<decltype(TVariantData::Variable), std::int32_t>);
static_assert(std::is_same_v<decltype(TVariantData::SVariable), std::int32_t>);
static_assert(std::is_same_v<decltype(TDialogItem::VariantEscape), std::uint8_t>);
static_assert(std::is_same_v<decltype(TDialogItem::VariantDefault), std::uint8_t>);
static_assert(std::is_same_v<decltype(TDialogItem::FunctionNumber), std::int32_t>);
// A record owns nothing: copying it is a plain copy of values.
static_assert(std::is_trivially_copyable_v<TDialogItem>);

TEST(DialogItem, ABlankRecordIsEmptyEverywhere) {
    TDialogItem d;
    EXPECT_EQ(d.FunctionNumber, 0);
    EXPECT_EQ(d.SlotsInUse(), 0);
    EXPECT_EQ(d.FirstFreeSlot(), 0);
    EXPECT_EQ(d.SlotEnd(), 0);
    EXPECT_EQ(d.VariantEscape, 0);
    EXPECT_EQ(d.VariantDefault, 0);
    EXPECT_TRUE(d.Hint.empty() && d.Header.empty() && d.ScriptBefore.empty());
    for (const auto& line : d.Text)
        EXPECT_TRUE(line.empty());
    for (int k = 0; k < kv::kSlotCount; ++k)
        ExpectBlankSlot(d, k);
    EXPECT_EQ(d.Next, nullptr);
}

TEST(DialogItem, TextFieldsCutToTheirCapacity) {
    const std::string longText(260, '\xE0'); // 260 Cyrillic "а"
    TDialogItem d;
    d.ScriptBefore = longText;
    d.ScriptAfter = longText;
    d.Text[29] = longText;
    d.Hint = longText;
    d.Header = longText;
    d.Variant[11] = longText;
    d.Variants[11].FailOn = longText;
    EXPECT_EQ(d.ScriptBefore.view(), longText.substr(0, 255));
    EXPECT_EQ(d.ScriptAfter.size(), 255u);
    EXPECT_EQ(d.Text[29].size(), 255u);
    EXPECT_EQ(d.Hint.view(), longText.substr(0, 200));
    EXPECT_EQ(d.Header.size(), 200u);
    EXPECT_EQ(d.Variant[11].size(), 150u);
    EXPECT_EQ(d.Variants[11].FailOn.size(), 150u);

    // Exactly the capacity, and a value carried from a wider field, cut the same way.
    d.Variant[0] = std::string(150, 'x');
    EXPECT_EQ(d.Variant[0].size(), 150u);
    d.Variant[1] = d.Hint;
    EXPECT_EQ(d.Variant[1].view(), longText.substr(0, 150));
    d.Variant[1] = "short";
    EXPECT_EQ(d.Variant[1], "short");
}

TEST(DialogItem, SlotInUseByCaptionLinkOrFunctionOnly) {
    TDialogItem d, target;
    d.Function[0] = 1005;   // no caption, still in use
    d.Variants[1].Wood = 7; // data alone does not make a slot used
    EXPECT_TRUE(d.SlotInUse(0));
    EXPECT_FALSE(d.SlotInUse(1));
    d.LinkDialog[2] = &target;
    EXPECT_TRUE(d.SlotInUse(2));
    d.Variant[4] = "gap before me";
    EXPECT_EQ(d.FirstFreeSlot(), 1);
    EXPECT_EQ(d.SlotEnd(), 5);
    EXPECT_EQ(d.SlotsInUse(), 3);
    for (int k = 0; k < kv::kSlotCount; ++k)
        d.Variant[static_cast<std::size_t>(k)] = "x";
    EXPECT_EQ(d.FirstFreeSlot(), -1);
}

TEST(DialogItem, FollowUpIsTheLinkedDialogsCurrentNumber) {
    TDialogItem d, target;
    target.FunctionNumber = 1001;
    d.LinkDialog[0] = &target;
    d.Function[0] = 1001;
    target.FunctionNumber = 1100;
    EXPECT_EQ(d.FollowUp(0), 1100);
    EXPECT_TRUE(d.HasFollowUp(0));
    d.Function[1] = 777;
    EXPECT_EQ(d.FollowUp(1), 777);
    EXPECT_FALSE(d.HasFollowUp(2));
    EXPECT_EQ(d.FollowUp(2), 0);
}

TEST(DialogItem, CostAndRewardFollowTheResourceOrder) {
    TVariantData v;
    for (int r = 0; r < kv::kResourceCount; ++r) {
        v.Cost(r) = static_cast<std::uint16_t>(r + 1);
        v.Reward(r) = static_cast<std::uint16_t>(r + 11);
    }
    EXPECT_EQ(v.Wood, 1);
    EXPECT_EQ(v.Merc, 2);
    EXPECT_EQ(v.Cryst, 5);
    EXPECT_EQ(v.Gold, 7);
    EXPECT_EQ(v.Myth, 8);
    EXPECT_EQ(v.giveWood, 11);
    EXPECT_EQ(v.giveGems, 16);
    EXPECT_EQ(v.giveMyth, 18);
}

TEST(DialogItem, SwapAndCopyMoveAllFourPartsOfASlot) {
    TDialogItem d, other, target;
    FillSlot(d, 0, 1, &target);
    FillSlot(d, 1, 2);
    d.SwapSlots(0, 1);
    ExpectSlot(d, 0, 2);
    ExpectSlot(d, 1, 1, &target);

    other.CopySlotFrom(d, 1, 5);
    ExpectSlot(other, 5, 1, &target);
    ExpectSlot(d, 1, 1, &target); // the source keeps its slot
}

} // namespace
