#include "model/project.h"

#include "slot_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kv::Project;
using kv::TDialogItem;

// Appends dialogs with the given function numbers.
std::vector<TDialogItem*> AddDialogs(Project& p, std::initializer_list<int> numbers) {
    std::vector<TDialogItem*> added;
    for (int n : numbers) {
        TDialogItem* d = p.AppendDialog();
        d->FunctionNumber = n;
        added.push_back(d);
    }
    return added;
}

std::vector<int> NumbersInOrder(const Project& p) {
    std::vector<int> numbers;
    for (const TDialogItem* d = p.Dialogs(); d; d = d->Next)
        numbers.push_back(d->FunctionNumber);
    return numbers;
}

TEST(Project, StartsEmptyWithFunctionStart1000) {
    Project p;
    EXPECT_EQ(p.Dialogs(), nullptr);
    EXPECT_EQ(p.DialogCount(), 0);
    EXPECT_EQ(p.FunctionStart, 1000);
    EXPECT_FALSE(p.Modified);
    EXPECT_EQ(p.FindByFunction(0), nullptr);
    EXPECT_EQ(p.DialogAt(0), nullptr);
}

TEST(Project, FindByFunctionTakesTheFirstFromTheHead) {
    Project p;
    auto d = AddDialogs(p, {1000, 1005, 1005});
    EXPECT_EQ(p.FindByFunction(1005), d[1]);
    EXPECT_EQ(p.FindByFunction(1000), d[0]);
    EXPECT_EQ(p.FindByFunction(1001), nullptr);
}

TEST(Project, PositionsCountFromTheHead) {
    Project p;
    auto d = AddDialogs(p, {1, 2, 3});
    EXPECT_EQ(p.DialogAt(0), d[0]);
    EXPECT_EQ(p.DialogAt(2), d[2]);
    EXPECT_EQ(p.DialogAt(3), nullptr);
    EXPECT_EQ(p.DialogAt(-1), nullptr);
    EXPECT_EQ(p.IndexOfDialog(d[0]), 0);
    EXPECT_EQ(p.IndexOfDialog(d[2]), 2);
    EXPECT_EQ(p.IndexOfDialog(nullptr), -1);
    TDialogItem stranger;
    EXPECT_EQ(p.IndexOfDialog(&stranger), -1);
    EXPECT_EQ(p.LastDialog(), d[2]);
}

TEST(Project, RemoveDialogKeepsTheListWhole) {
    Project p;
    AddDialogs(p, {1, 2, 3, 4});
    p.RemoveDialog(1); // middle
    EXPECT_EQ(NumbersInOrder(p), (std::vector<int>{1, 3, 4}));
    p.RemoveDialog(2); // tail: the next append must follow the new tail
    p.AppendDialog()->FunctionNumber = 5;
    EXPECT_EQ(NumbersInOrder(p), (std::vector<int>{1, 3, 5}));
    p.RemoveDialog(0); // head
    EXPECT_EQ(NumbersInOrder(p), (std::vector<int>{3, 5}));
    p.RemoveDialog(2); // past the tail: nothing
    p.RemoveDialog(-1);
    EXPECT_EQ(p.DialogCount(), 2);

    Project single;
    AddDialogs(single, {7});
    single.RemoveDialog(0);
    EXPECT_EQ(single.Dialogs(), nullptr);
    EXPECT_EQ(single.LastDialog(), nullptr);
    single.AppendDialog()->FunctionNumber = 8;
    EXPECT_EQ(NumbersInOrder(single), std::vector<int>{8});
}

TEST(Project, RemovingADialogTurnsLinksIntoItIntoItsNumber) {
    Project p;
    auto d = AddDialogs(p, {1000, 1001, 1002});
    d[1]->FunctionNumber = 1100; // renumbered after the links were made
    d[0]->LinkDialog[0] = d[1];
    d[0]->Function[0] = 1001; // the old number, no longer the follow-up
    d[2]->LinkDialog[3] = d[1];
    d[2]->LinkDialog[4] = d[0];
    d[1]->LinkDialog[0] = d[2];

    p.RemoveDialog(1);
    EXPECT_EQ(d[0]->LinkDialog[0], nullptr);
    EXPECT_EQ(d[0]->Function[0], 1100);
    EXPECT_EQ(d[0]->FollowUp(0), 1100);
    EXPECT_EQ(d[2]->LinkDialog[3], nullptr);
    EXPECT_EQ(d[2]->FollowUp(3), 1100);
    EXPECT_EQ(d[2]->LinkDialog[4], d[0]); // other links stay
}

TEST(Project, InsertSlotMovesWholeSlotsUp) {
    Project p;
    TDialogItem* d = p.AppendDialog();
    TDialogItem* target = p.AppendDialog();
    FillSlot(*d, 0, 1, target);
    FillSlot(*d, 1, 2);
    FillSlot(*d, 2, 3, d);
    p.InsertSlot(*d, 0);
    ExpectBlankSlot(*d, 0);
    ExpectSlot(*d, 1, 1, target);
    ExpectSlot(*d, 2, 2);
    ExpectSlot(*d, 3, 3, d);
    ExpectBlankSlot(*d, 4);
    EXPECT_TRUE(p.Modified);
}

TEST(Project, DeleteSlotMovesWholeSlotsDown) {
    Project p;
    TDialogItem* d = p.AppendDialog();
    FillSlot(*d, 0, 1);
    FillSlot(*d, 1, 2);
    FillSlot(*d, 2, 3, d);
    p.DeleteSlot(*d, 1);
    ExpectSlot(*d, 0, 1);
    ExpectSlot(*d, 1, 3, d);
    ExpectBlankSlot(*d, 2);
    EXPECT_TRUE(p.Modified);
}

TEST(Project, TheLastSlotIsOnlyCleared) {
    Project p;
    TDialogItem* d = p.AppendDialog();
    for (int k = 0; k < kv::kSlotCount; ++k)
        FillSlot(*d, k, k + 1);
    p.DeleteSlot(*d, 11);
    ExpectBlankSlot(*d, 11);
    ExpectSlot(*d, 10, 11);
    FillSlot(*d, 11, 12);
    p.InsertSlot(*d, 11);
    ExpectBlankSlot(*d, 11);
    ExpectSlot(*d, 10, 11);
    p.ClearSlot(*d, 5);
    ExpectBlankSlot(*d, 5);
    ExpectSlot(*d, 6, 7);
}

TEST(Project, ASlotNumberOutsideTheDialogChangesNothing) {
    Project p;
    TDialogItem* d = p.AppendDialog();
    FillSlot(*d, 0, 1);
    FillSlot(*d, 11, 12);
    p.ClearSlot(*d, 12);
    p.InsertSlot(*d, -1);
    p.DeleteSlot(*d, 12);
    p.ClearSlot(*d, -1);
    EXPECT_FALSE(p.Modified);
    ExpectSlot(*d, 0, 1);
    ExpectSlot(*d, 11, 12);
}

TEST(Project, RebuildLinksTakesTheFirstDialogOfEachNumberEvenZero) {
    Project p;
    auto d = AddDialogs(p, {1005, 0, 1005, 1000});
    d[3]->Function[0] = 1005;
    d[3]->Function[1] = 0; // a free slot links to the dialog numbered 0
    d[3]->Function[2] = 4242;
    d[0]->Function[11] = 1000;
    d[2]->LinkDialog[5] = d[2]; // a stale link is replaced by the lookup of Function 0
    p.RebuildLinks();
    EXPECT_EQ(d[3]->LinkDialog[0], d[0]);
    EXPECT_EQ(d[3]->LinkDialog[1], d[1]);
    EXPECT_EQ(d[3]->LinkDialog[2], nullptr);
    EXPECT_EQ(d[0]->LinkDialog[11], d[3]);
    EXPECT_EQ(d[2]->LinkDialog[5], d[1]);
    for (TDialogItem* dialog = p.Dialogs(); dialog; dialog = dialog->Next) {
        for (int k = 0; k < kv::kSlotCount; ++k) {
            EXPECT_EQ(dialog->LinkDialog[static_cast<std::size_t>(k)],
                      p.FindByFunction(dialog->Function[static_cast<std::size_t>(k)]));
        }
    }
}

TEST(Project, MovingHandsOverTheDialogsAndValues) {
    Project a;
    AddDialogs(a, {1, 2});
    a.FunctionStart = 50;
    a.ScriptFile = "x.erm";
    a.Modified = true;
    Project b(std::move(a));
    EXPECT_EQ(NumbersInOrder(b), (std::vector<int>{1, 2}));
    EXPECT_EQ(b.FunctionStart, 50);
    EXPECT_TRUE(b.Modified);
    EXPECT_EQ(a.Dialogs(), nullptr); // NOLINT: the moved-from project is empty, not broken
    Project c;
    AddDialogs(c, {9});
    c = std::move(b);
    EXPECT_EQ(NumbersInOrder(c), (std::vector<int>{1, 2}));
    c.AppendDialog()->FunctionNumber = 3;
    EXPECT_EQ(NumbersInOrder(c), (std::vector<int>{1, 2, 3}));
}

TEST(Project, ClearEmptiesTheProjectButKeepsFunctionStart) {
    Project p;
    AddDialogs(p, {1, 2});
    p.FunctionStart = 1500;
    p.ScriptFile = "a.erm";
    p.ProjectFileName = "a.tlk";
    p.Modified = true;
    p.Clear();
    EXPECT_EQ(p.Dialogs(), nullptr);
    EXPECT_EQ(p.DialogCount(), 0);
    EXPECT_TRUE(p.ScriptFile.empty());
    EXPECT_TRUE(p.ProjectFileName.empty());
    EXPECT_FALSE(p.Modified);
    EXPECT_EQ(p.FunctionStart, 1500);
    p.AppendDialog()->FunctionNumber = 3;
    EXPECT_EQ(NumbersInOrder(p), std::vector<int>{3});
}

} // namespace
