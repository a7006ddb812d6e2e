#include "model/project.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using kv::Project;
using kv::TDialogItem;

// Fills slot k with values that all derive from one tag, so that a test can tell after a shift
// whether the four parts of a slot stayed together. Tag 2 links to `link`.
void FillSlot(TDialogItem& d, int k, int tag, TDialogItem* link) {
    auto i = static_cast<std::size_t>(k);
    d.Variant[i] = "answer " + std::to_string(tag);
    d.Function[i] = 2000 + tag;
    d.LinkDialog[i] = tag == 2 ? link : nullptr;
    d.Variants[i].FailOn = "&v" + std::to_string(tag) + "=1";
    d.Variants[i].Gold = static_cast<std::uint16_t>(100 * tag);
}

// Expects the slots to hold what FillSlot put there with these tags in this order; 0 is free.
void ExpectSlots(const TDialogItem& d, std::vector<int> tags, TDialogItem* link) {
    TDialogItem want;
    for (int k = 0; k < kv::kSlotCount; ++k) {
        if (tags[static_cast<std::size_t>(k)] != 0)
            FillSlot(want, k, tags[static_cast<std::size_t>(k)], link);
    }
    EXPECT_EQ(d.Variant, want.Variant);
    EXPECT_EQ(d.Function, want.Function);
    EXPECT_EQ(d.LinkDialog, want.LinkDialog);
    EXPECT_TRUE(d.Variants == want.Variants);
}

std::vector<TDialogItem*> AddDialogs(Project& p, std::initializer_list<int> numbers) {
    std::vector<TDialogItem*> added;
    for (int n : numbers) {
        added.push_back(p.AppendDialog());
        added.back()->FunctionNumber = n;
    }
    return added;
}

std::vector<int> Numbers(const Project& p) {
    std::vector<int> numbers;
    for (const TDialogItem* d = p.Dialogs(); d; d = d->Next)
        numbers.push_back(d->FunctionNumber);
    return numbers;
}

TEST(DialogItem, ASlotIsInUseByItsCaptionLinkOrNumberOnly) {
    TDialogItem d, target;
    d.Function[0] = 1005;   // no caption, still in use
    d.Variants[1].Wood = 7; // data alone does not make a slot used
    d.LinkDialog[2] = &target;
    d.Variant[4] = "gap before me";
    EXPECT_EQ(d.FirstFreeSlot(), 1);
    EXPECT_EQ(d.SlotEnd(), 5);
    EXPECT_EQ(d.SlotsInUse(), 3);
    for (auto& caption : d.Variant)
        caption = "x";
    EXPECT_EQ(d.FirstFreeSlot(), -1);
}

TEST(Project, SlotOperationsMoveAllFourPartsTogether) {
    Project p;
    TDialogItem* d = p.AppendDialog();
    TDialogItem* target = p.AppendDialog();
    for (int k = 0; k < kv::kSlotCount; ++k)
        FillSlot(*d, k, k + 1, target);
    p.InsertSlot(*d, 1); // slots 1..10 move up, the last one is dropped
    EXPECT_TRUE(p.Modified);
    ExpectSlots(*d, {1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, target);
    p.DeleteSlot(*d, 0); // all move down, the last one is cleared
    ExpectSlots(*d, {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0}, target);
    kv::ClearSlotData(*d, 2);
    d->SwapSlots(0, 1);
    ExpectSlots(*d, {2, 0, 0, 4, 5, 6, 7, 8, 9, 10, 11, 0}, target);
    target->CopySlotFrom(*d, 0, 7);
    ExpectSlots(*target, {0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0}, target);

    // A slot number outside the dialog changes nothing, not even Modified.
    p.Modified = false;
    for (int k : {-1, 12}) {
        p.InsertSlot(*d, k);
        p.DeleteSlot(*d, k);
    }
    EXPECT_FALSE(p.Modified);
    ExpectSlots(*d, {2, 0, 0, 4, 5, 6, 7, 8, 9, 10, 11, 0}, target);

    // A dialog appended with eleven answers keeps eleven records; the shift into the twelfth
    // slot must still copy every record whole.
    auto eleven = std::make_unique<TDialogItem>();
    for (int k = 0; k < 11; ++k)
        FillSlot(*eleven, k, k + 1, target);
    TDialogItem* appended = p.AppendDialog(std::move(eleven));
    p.InsertSlot(*appended, 0);
    ExpectSlots(*appended, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, target);
}

TEST(Project, RemoveDialogKeepsTheListWholeAndTurnsLinksIntoNumbers) {
    Project p;
    auto d = AddDialogs(p, {1000, 1001, 1002, 1003});
    d[1]->FunctionNumber = 1100; // renumbered after the links were made
    d[0]->LinkDialog[0] = d[1];
    d[0]->Function[0] = 1001;
    d[2]->LinkDialog[3] = d[1];
    d[2]->LinkDialog[4] = d[0];
    p.RemoveDialog(1);
    EXPECT_EQ(d[0]->LinkDialog[0], nullptr);
    EXPECT_EQ(d[0]->Function[0], 1100);
    EXPECT_EQ(d[2]->LinkDialog[3], nullptr);
    EXPECT_EQ(d[2]->Function[3], 1100);
    EXPECT_EQ(d[2]->LinkDialog[4], d[0]); // other links stay

    p.RemoveDialog(2); // the tail: the next append must follow the new tail
    p.AppendDialog()->FunctionNumber = 5;
    p.RemoveDialog(0); // the head
    p.RemoveDialog(2); // past the tail: nothing
    EXPECT_EQ(Numbers(p), (std::vector<int>{1002, 5}));
    p.RemoveDialog(1);
    p.RemoveDialog(0); // the only one: head and tail both go
    EXPECT_EQ(p.LastDialog(), nullptr);
    p.AppendDialog()->FunctionNumber = 6;
    EXPECT_EQ(Numbers(p), std::vector<int>{6});
}

TEST(Project, LookupsAndLinksTakeTheFirstDialogOfEachNumberEvenZero) {
    Project p;
    auto d = AddDialogs(p, {1005, 0, 1005, 1000});
    d[3]->Function[0] = 1005;
    d[3]->Function[2] = 4242;
    d[0]->Function[11] = 1000;
    d[2]->LinkDialog[5] = d[2]; // a stale link goes: Function 0 leads to the dialog numbered 0
    p.RebuildLinks();
    EXPECT_EQ(p.FindByFunction(1005), d[0]);
    EXPECT_EQ(d[3]->LinkDialog[0], d[0]);
    EXPECT_EQ(d[3]->LinkDialog[1], d[1]);
    EXPECT_EQ(d[3]->LinkDialog[2], nullptr);
    EXPECT_EQ(d[0]->LinkDialog[11], d[3]);
    EXPECT_EQ(d[2]->LinkDialog[5], d[1]);

    // A large project, whose links are set in parts: each is the first dialog of its number.
    Project large;
    std::vector<TDialogItem*> records;
    std::map<std::int32_t, TDialogItem*> firstOf;
    for (int i = 0; i < 5000; ++i) {
        TDialogItem* r = large.AppendDialog();
        r->FunctionNumber = i % 3000;
        firstOf.try_emplace(r->FunctionNumber, r);
        for (std::size_t k = 0; k < kv::kSlotCount; ++k)
            r->Function[k] = static_cast<std::int32_t>((i * 7 + k * 131) % 3500);
        records.push_back(r);
    }
    large.RebuildLinks();
    for (const TDialogItem* r : records) {
        for (std::size_t k = 0; k < kv::kSlotCount; ++k) {
            const auto it = firstOf.find(r->Function[k]);
            ASSERT_EQ(r->LinkDialog[k], it == firstOf.end() ? nullptr : it->second);
        }
    }
}

} // namespace
