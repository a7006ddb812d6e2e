#include "find/leads_here.h"
#include "find/navigation_history.h"
#include "find/text_search.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

std::string W(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

// Two dialogs with a text in each searchable field, the upper-half capitals, a free slot that
// still holds a condition, and follow-ups by link, by number and out of the project.
Project Sample() {
    Project p;
    TDialogItem& a = *p.AppendDialog();
    a.FunctionNumber = 1000;
    a.Hint = W("Карта мира");
    a.Header = W("КАРТА");
    a.Text[0] = W("старая карта");
    a.Text[29] = W("ёлка ЁЛКА");
    a.ScriptBefore = W("!!IF:M^карта^;");
    a.ScriptAfter = "!!FU1001:P;";
    a.Variant[0] = W("Взять карту");
    a.Variants[0].FailOn = "v1=0";
    a.Function[0] = 1001;
    a.Variant[1] = "x";
    a.Function[1] = 1000;
    a.Variant[2] = "y";
    a.Function[2] = 777;
    a.Variants[5].FailOn = W("карта"); // slot 5 is free
    TDialogItem& b = *p.AppendDialog();
    b.FunctionNumber = 1001;
    b.Hint = W("Ђак Љ ЎЈҐЄЇІЅ");
    b.Text[3] = "end aaaa";
    b.Variant[0] = "z";
    p.RebuildLinks();
    a.LinkDialog[1] = nullptr; // slot 1 leads to 1000 by number only
    return p;
}

std::string Describe(const std::vector<SearchMatch>& matches) {
    std::string out;
    for (const SearchMatch& m : matches)
        out += std::string(Field(m.ref.field).name) + " " + std::to_string(m.ref.dialog) + "." +
               std::to_string(m.ref.index) + "@" + std::to_string(m.offset) + " ";
    return out;
}

TEST(Find, SearchFoldsCaseAndKeepsToTheChosenFields) {
    const SearchFields all = SearchFields::All();
    const SearchFields header = SearchFields().With(FieldId::Header).With(FieldId::Text);
    const struct {
        const char* query;
        SearchFields fields;
        const char* found;
    } rows[] = {
        {"карта", all, "Hint 0.0@0 Header 0.0@0 Text 0.0@7 ScriptBefore 0.0@7 "},
        {"КаРтА", header, "Header 0.0@0 Text 0.0@7 "},
        {"карт", all.Without(FieldId::Hint).Without(FieldId::Text).Without(FieldId::ScriptBefore),
         "Header 0.0@0 Variant 0.0@6 "},
        {"Ёлка", all, "Text 0.29@0 Text 0.29@5 "},
        {"ђак љ ўјґєїіѕ", all, "Hint 1.0@0 "},
        {"AA", all, "Text 1.3@4 Text 1.3@6 "}, // at the end of the line, never overlapping
        {"V1=0", all, "FailOn 0.0@0 "},
        {"", all, ""},
        {"карта", SearchFields(), ""},
    };
    const Project p = Sample();
    for (const auto& row : rows) {
        const std::vector<SearchMatch> matches = Search(p, W(row.query), row.fields);
        EXPECT_EQ(Describe(matches), row.found) << row.query;
        for (const SearchMatch& m : matches) {
            EXPECT_EQ(m.value, ReadField(p, m.ref).text) << row.query;
            EXPECT_EQ(m.function, p.DialogAt(m.ref.dialog)->FunctionNumber) << row.query;
        }
    }
}

TEST(Find, ReplaceIsOneUndoStepAndCutsAtCapacity) {
    const struct {
        const char* query;
        const char* with;
        int replaced, cut;
        FieldRef ref;
        std::string after;
    } rows[] = {
        {"КАРТА", "Карта карт", 4, 1, {FieldId::Text, 0, 0}, W("старая Карта карт")},
        {"a", "aA", 4, 0, {FieldId::Text, 1, 3}, "end aAaAaAaA"},
        {"ёлка", "", 2, 0, {FieldId::Text, 0, 29}, " "},
        {"нет", "x", 0, 0, {FieldId::Hint, 0, 0}, W("Карта мира")},
    };
    for (const auto& row : rows) {
        Project p = Sample();
        p.DialogAt(0)->ScriptBefore = std::string(250, '.') + W("карта");
        const std::string before = SerializeProject(p);
        Replacement r = ReplaceAll(p, W(row.query), W(row.with));
        EXPECT_EQ(r.replaced, row.replaced) << row.query;
        EXPECT_EQ(r.cut, row.cut) << row.query;
        ASSERT_EQ(r.edit != nullptr, row.replaced > 0) << row.query;
        if (!r.edit) continue;
        EXPECT_EQ(r.edit->Name(), "замена всего");
        r.edit->Apply(p);
        EXPECT_EQ(ReadField(p, row.ref).text, row.after) << row.query;
        EXPECT_EQ(p.DialogAt(0)->ScriptBefore.size(), 255u);
        r.edit->Revert(p);
        EXPECT_EQ(SerializeProject(p), before) << row.query;
    }

    // One match of several: only it changes; the same match after the edit is stale.
    Project p = Sample();
    const std::vector<SearchMatch> matches = Search(p, "aa");
    Replacement one = ReplaceOne(p, matches[1], "aa", "b");
    ASSERT_TRUE(one.edit);
    one.edit->Apply(p);
    EXPECT_EQ(p.DialogAt(1)->Text[3], "end aab");
    EXPECT_EQ(ReplaceOne(p, matches[1], "aa", "b").edit, nullptr);
}

TEST(Find, LeadsGoToAndTheOutlineColumn) {
    const Project p = Sample();
    const std::string script = "x\r\n!!FU1000:P;\r\n!!DO1000/1/2/1:P;\r\n;Korvanthiel data "
                               "begin>>>>>\r\n!!FU1000:P;\r\n";
    using K = Lead::Kind;
    EXPECT_EQ(LeadsTo(p, 0, script),
              (std::vector<Lead>{{K::Answer, {0, 1}, FieldId::Function},
                                 {K::Script, {-1, -1}, FieldId::ScriptFile, 1},
                                 {K::Script, {-1, -1}, FieldId::ScriptFile, 2}}));
    EXPECT_EQ(LeadsTo(p, 1), (std::vector<Lead>{{K::Answer, {0, 0}, FieldId::Function},
                                                {K::DialogErm, {0, -1}, FieldId::ScriptAfter}}));

    EXPECT_EQ(GoToFunction(p, "$3E9"), 1);
    EXPECT_THROW(GoToFunction(p, "1002"), Error);
    EXPECT_THROW(GoToFunction(p, "x"), Error);

    const FunctionIndex index(p);
    const TDialogItem& a = *p.Dialogs();
    EXPECT_EQ(OutlineNumberText(a, -1, index), "1000");
    EXPECT_EQ(OutlineNumberText(a, 0, index), "→ 1001");
    EXPECT_EQ(OutlineNumberText(a, 1, index), "→ 1000");
    EXPECT_EQ(OutlineNumberText(a, 2, index), "→ 777 ?");
    EXPECT_EQ(OutlineNumberText(a, 3, index), "");
}

TEST(Find, HistoryGoesBackAndForwardAndFollowsTheList) {
    NavigationHistory h(4);
    h.Jump({0, -1}, {5, 2});
    h.Jump({5, 2}, {3, -1});
    EXPECT_EQ(h.Back({7, -1}), (Place{3, -1})); // moved on since the jump: back to where it led
    EXPECT_EQ(h.Back({3, -1}), (Place{5, 2}));
    EXPECT_EQ(h.Forward(), (Place{3, -1}));
    h.Back({3, -1});
    h.Visit({1, -1}); // drops what was ahead
    EXPECT_FALSE(h.CanForward());
    EXPECT_EQ(h.Places(), (std::vector<Place>{{0, -1}, {5, 2}, {1, -1}}));

    h.Follow({ProjectChange::Kind::SlotRemoved, 5, 2});
    h.Follow({ProjectChange::Kind::DialogMoved, 0, -1, 5});
    EXPECT_EQ(h.Places(), (std::vector<Place>{{5, -1}, {4, -1}, {0, -1}}));
    h.Follow({ProjectChange::Kind::DialogRemoved, 4});
    h.Follow({ProjectChange::Kind::DialogInserted, 0});
    EXPECT_EQ(h.Places(), (std::vector<Place>{{5, -1}, {1, -1}}));
    EXPECT_EQ(h.Back({1, -1}), (Place{5, -1}));
    EXPECT_EQ(h.Back({5, -1}), std::nullopt);
    for (int i = 10; i < 16; ++i)
        h.Visit({i, -1});
    EXPECT_EQ(h.Places(), (std::vector<Place>{{12, -1}, {13, -1}, {14, -1}, {15, -1}}));
}

} // namespace
} // namespace kv
