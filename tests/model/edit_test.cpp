#include "erm/batch_edits.h"
#include "model/project_edits.h"
#include "project/tlk_file.h"
#include "text/error.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace kv {
namespace {

// What a project holds: its file bytes, and where each link leads (the file keeps numbers only).
struct Snapshot {
    std::string bytes;
    std::vector<int> links;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(const Project& p) {
    Snapshot s{SerializeProject(p), {}};
    for (const TDialogItem* d = p.Dialogs(); d; d = d->Next) {
        for (const TDialogItem* link : d->LinkDialog)
            s.links.push_back(p.IndexOfDialog(link));
    }
    return s;
}

using Rng = std::mt19937;
int Pick(Rng& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

// A few dialogs with shared numbers, packed answers, links (some to a dialog whose number differs
// from the stored one) and marks on answers, free slots and no slot at all.
Project RandomProject(Rng& rng) {
    Project p;
    p.FunctionStart = Pick(rng, 1, 3);
    for (int n = Pick(rng, 0, 5); n > 0; --n)
        p.AppendDialog()->FunctionNumber = Pick(rng, 1, 6);
    for (TDialogItem* d = p.Dialogs(); d; d = d->Next) {
        d->Hint = "d" + std::to_string(Pick(rng, 0, 99));
        d->VariantEscape = static_cast<std::uint8_t>(Pick(rng, 0, 13));
        d->VariantDefault = static_cast<std::uint8_t>(Pick(rng, 0, 13));
        const int used = Pick(rng, 0, kSlotCount);
        for (int k = 0; k < kSlotCount; ++k) {
            const auto i = static_cast<std::size_t>(k);
            // A free slot may still hold the data of the answer it was.
            d->Variants[i].Variable = Pick(rng, 0, 2);
            d->Variants[i].Gold = static_cast<std::uint16_t>(Pick(rng, 0, 2) * 100);
            if (k >= used) continue;
            d->Variant[i] = "a" + std::to_string(Pick(rng, 0, 99));
            d->Function[i] = Pick(rng, 0, 7);
            if (Pick(rng, 0, 2) == 0)
                d->LinkDialog[i] = p.DialogAt(Pick(rng, 0, p.DialogCount() - 1));
        }
    }
    return p;
}

using Maker = std::function<std::unique_ptr<Edit>(const Project&)>;

// One command with random arguments, some of them out of range.
Maker RandomMaker(Rng& rng, const Project& p) {
    const int n = p.DialogCount();
    const int d = Pick(rng, -1, n), e = Pick(rng, 0, n);
    const Place at{d, Pick(rng, -1, kSlotCount)}, other{e, Pick(rng, -1, 3)};
    const bool cut = Pick(rng, 0, 1) == 1;
    const int value = Pick(rng, -1, 300);
    const int link = Pick(rng, 0, 1) ? -1 : e;
    switch (Pick(rng, 0, 15)) {
    case 0:
        return [](const Project& q) { return NewDialog(q); };
    case 1:
        return [=](const Project& q) { return ConsequenceDialog(q, at); };
    case 2:
        return [=](const Project& q) { return DuplicateDialog(q, d); };
    case 3:
        return [=](const Project& q) { return AddToDialog(q, d, e); };
    case 4:
        return [=](const Project& q) { return DeleteDialog(q, d); };
    case 5:
        return [=](const Project& q) { return AddVariant(q, at, link); };
    case 6:
        return [=](const Project& q) { return MoveVariant(q, at, cut ? 1 : -1); };
    case 7:
        return [=](const Project& q) { return DeleteVariant(q, at); };
    case 8:
        return [=](const Project& q) { return PasteVariant(q, at, other, cut); };
    case 9:
        return [=](const Project& q) { return PasteDialog(q, d, cut); };
    case 10:
        return [=](const Project& q) { return AnnotateCost(q, at); };
    case 11:
        return [=](const Project& q) { return NumberVariables(q, at); };
    case 12:
        return [=](const Project&) {
            // A variant grid commit: the follow-up looks its dialog up.
            return ChangeValues({{{FieldId::Function, d, at.slot}, FieldValue::Number(value % 8)},
                                 {{FieldId::Gold, d, at.slot}, FieldValue::Number(value * 300)}});
        };
    case 13:
        return [=](const Project&) {
            return ChangeValues(
                {{{FieldId::VariantEscape, d}, FieldValue::Number(value)},
                 {{FieldId::Hint, d}, FieldValue::Text(std::string(value + 1u, 'h'))}});
        };
    case 14:
        return [=](const Project&) {
            return ChangeValues({{{FieldId::FunctionNumber, d}, FieldValue::Number(value % 8)}});
        };
    default:
        return [=](const Project&) {
            return ChangeValues({{{FieldId::ScriptFile}, FieldValue::Text(std::to_string(value))}});
        };
    }
}

// Each change must come as a pair, and the list must grow and shrink as the change says.
struct CountingObserver : ProjectObserver {
    const Project& project;
    int before = 0;
    bool open = false;
    explicit CountingObserver(const Project& p) : project(p) {}
    void Changing(const ProjectChange&) override {
        EXPECT_FALSE(open);
        open = true;
        before = project.DialogCount();
    }
    void Changed(const ProjectChange& c) override {
        EXPECT_TRUE(open);
        open = false;
        const int grow = c.kind == ProjectChange::Kind::DialogInserted  ? 1
                         : c.kind == ProjectChange::Kind::DialogRemoved ? -1
                                                                        : 0;
        EXPECT_EQ(project.DialogCount(), before + grow);
    }
};

TEST(Edits, UndoAndRedoAtRandomPointsAgreeWithAReplay) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(seed);
        Rng rng(seed);
        Project p = RandomProject(rng);
        CountingObserver observer(p);
        std::vector<std::unique_ptr<Edit>> history;
        std::vector<Maker> makers;
        std::vector<Snapshot> states{Take(p)};
        std::size_t top = 0; // edits applied
        for (int step = 0; step < 60; ++step) {
            const int action = Pick(rng, 0, 9);
            if (action == 0 && top > 0) {
                history[--top]->Revert(p, &observer);
                ASSERT_EQ(Take(p), states[top]);
            } else if (action == 1 && top < history.size()) {
                history[top++]->Apply(p, &observer);
                ASSERT_EQ(Take(p), states[top]);
            } else {
                Maker maker = RandomMaker(rng, p);
                std::unique_ptr<Edit> edit = maker(p);
                if (!edit) continue;
                try {
                    edit->Apply(p, &observer);
                } catch (const Error&) { // a value of no dialog or slot: nothing may change
                    ASSERT_EQ(Take(p), states[top]);
                    continue;
                }
                if (edit->Empty()) {
                    ASSERT_EQ(Take(p), states[top]);
                    continue;
                }
                history.resize(top);
                makers.resize(top);
                states.resize(top + 1);
                history.push_back(std::move(edit));
                makers.push_back(std::move(maker));
                states.push_back(Take(p));
                ++top;
            }
        }
        Rng again(seed);
        Project replay = RandomProject(again);
        for (std::size_t i = 0; i < top; ++i)
            makers[i](replay)->Apply(replay);
        ASSERT_EQ(Take(replay), Take(p));

        while (top > 0)
            history[--top]->Revert(p, &observer);
        ASSERT_EQ(Take(p), states.front());
        while (top < history.size())
            history[top++]->Apply(p, &observer);
        ASSERT_EQ(Take(p), states.back());
    }
}

// Answers "a".."d" in slots 0 to 3 of the first dialog; the second dialog has one answer "x".
Project FourAnswers(int escape, int preselected) {
    Project p;
    TDialogItem* d = p.AppendDialog();
    for (int k = 0; k < 4; ++k)
        d->Variant[static_cast<std::size_t>(k)] = std::string(1, char('a' + k));
    d->VariantEscape = static_cast<std::uint8_t>(escape);
    d->VariantDefault = static_cast<std::uint8_t>(preselected);
    p.AppendDialog()->Variant[0] = "x";
    return p;
}

std::string Captions(const TDialogItem& d) {
    std::string out;
    for (int k = 0; k < d.SlotEnd(); ++k)
        out += d.Variant[static_cast<std::size_t>(k)].str();
    return out;
}

TEST(Edits, EscapeAndDefaultFollowTheirAnswerAndFallBackToZeroWhenItLeaves) {
    struct Case {
        int escape, preselected;     // before: the escape slot, the default answer (1-based)
        int wantEscape, wantDefault; // after
        const char* captions;        // after
        std::function<std::unique_ptr<Edit>(const Project&)> edit;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {2, 3, 3, 4, "aNew variantbcd", [](auto& p) { return AddVariant(p, {0, 1}); }},
        {2, 3, 2, 3, "abcNew variantd", [](auto& p) { return AddVariant(p, {0, 3}); }},
        {2, 3, 0, 0, "abd", [](auto& p) { return DeleteVariant(p, {0, 2}); }},
        {3, 4, 2, 3, "acd", [](auto& p) { return DeleteVariant(p, {0, 1}); }},
        {2, 2, 1, 3, "acbd", [](auto& p) { return MoveVariant(p, {0, 2}, -1); }},
        {1, 1, 0, 2, "bacd", [](auto& p) { return MoveVariant(p, {0, 0}, 1); }},
        // A cut and paste within the dialog is a move; to another dialog, a deletion here.
        {3, 4, 0, 1, "dabc", [](auto& p) { return PasteVariant(p, {0, 3}, {0, 0}, true); }},
        {0, 1, 3, 4, "bcda", [](auto& p) { return PasteVariant(p, {0, 0}, {0, -1}, true); }},
        {2, 3, 3, 4, "cabcd", [](auto& p) { return PasteVariant(p, {0, 2}, {0, 0}, false); }},
        {1, 2, 0, 0, "acd", [](auto& p) { return PasteVariant(p, {0, 1}, {1, -1}, true); }},
        // Marks naming no slot stay; marks on the slot pushed out of the dialog fall back.
        {20, 13, 20, 13, "New variantabcd", [](auto& p) { return AddVariant(p, {0, 0}); }},
        {11, 12, 0, 0, "New variantabcd", [](auto& p) { return AddVariant(p, {0, 0}); }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases.data());
        Project p = FourAnswers(c.escape, c.preselected);
        const Snapshot before = Take(p);
        auto edit = c.edit(p);
        ASSERT_TRUE(edit);
        edit->Apply(p);
        const TDialogItem& d = *p.Dialogs();
        EXPECT_EQ(Captions(d), c.captions);
        EXPECT_EQ(d.VariantEscape, c.wantEscape);
        EXPECT_EQ(d.VariantDefault, c.wantDefault);
        edit->Revert(p);
        EXPECT_EQ(Take(p), before);
    }
}

TEST(Edits, ACutDialogMovesWithTheLinksIntoIt) {
    Project p;
    for (int n : {1000, 1001, 1002})
        p.AppendDialog()->FunctionNumber = n;
    TDialogItem* moved = p.DialogAt(1);
    for (int from : {0, 1, 2}) {
        p.DialogAt(from)->Function[0] = 1001;
        p.DialogAt(from)->LinkDialog[0] = moved;
    }
    const Snapshot before = Take(p);
    auto edit = PasteDialog(p, 1, true);
    edit->Apply(p);
    EXPECT_EQ(p.DialogAt(2), moved);
    EXPECT_EQ(moved->FunctionNumber, 1003); // the number a copy would have had
    EXPECT_EQ(edit->Focus(), (Place{2, -1}));
    for (int from : {0, 1, 2})
        EXPECT_EQ(p.DialogAt(from)->FollowUp(0), 1003);
    // Saved and read back, the answers still lead to the moved dialog.
    Project reread = ParseProject(SerializeProject(p));
    EXPECT_EQ(Take(reread), Take(p));
    edit->Revert(p);
    EXPECT_EQ(Take(p), before);
}

TEST(Edits, ChangeValuesStoresAsTheFieldsDoAndSkipsWhatIsAlreadyThere) {
    Project p;
    for (int n : {5, 7, 7})
        p.AppendDialog()->FunctionNumber = n;
    auto commit = ChangeValues({{{FieldId::Function, 0, 3}, FieldValue::Number(7)},
                                {{FieldId::Skill, 0, 3}, FieldValue::Number(300)}});
    commit->Apply(p);
    EXPECT_EQ(p.Dialogs()->LinkDialog[3], p.DialogAt(1)); // the first dialog with the number
    EXPECT_EQ(p.Dialogs()->Variants[3].Skill, 44);
    EXPECT_EQ(commit->Focus(), (Place{0, 3}));
    // Equal once cut to the capacity or the width: nothing to do.
    ChangeValues({{{FieldId::Hint, 1}, FieldValue::Text(std::string(200, 'h'))}})->Apply(p);
    for (FieldChange same :
         {FieldChange{{FieldId::Hint, 1}, FieldValue::Text(std::string(260, 'h'))},
          FieldChange{{FieldId::Skill, 0, 3}, FieldValue::Number(44 + 256)}}) {
        auto edit = ChangeValues({same});
        edit->Apply(p);
        EXPECT_TRUE(edit->Empty());
    }
    // A value of no dialog changes nothing, also not the values before it.
    const Snapshot before = Take(p);
    auto bad = ChangeValues(
        {{{FieldId::Hint, 0}, FieldValue::Text("x")}, {{FieldId::Hint, 3}, FieldValue::Text("y")}});
    EXPECT_THROW(bad->Apply(p), Error);
    EXPECT_EQ(Take(p), before);
}

} // namespace
} // namespace kv
