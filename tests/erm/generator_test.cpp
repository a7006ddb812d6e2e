#include "erm/erm_samples.h"
#include "erm/generator.h"
#include "text/error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

using test::W;

std::string Block(const TDialogItem& dialog) {
    std::string text;
    AppendDialogCode(text, dialog);
    return text;
}

TEST(Generator, MerchantBlockIsByteForByte) {
    TDialogItem target;
    target.FunctionNumber = 101;
    TDialogItem merchant;
    test::FillMerchant(merchant, &target);
    EXPECT_EQ(Block(merchant), test::Golden("merchant.erm"));

    // The link gives the target's number at the moment of compiling.
    target.FunctionNumber = 150;
    EXPECT_NE(Block(merchant).find("\n!!FU150&y-3=1:PE;"), std::string::npos);
    EXPECT_EQ(Block(merchant).find("!!FU101"), std::string::npos);
}

TEST(Generator, AppendsBehindWhatTheTextHolds) {
    TDialogItem merchant;
    test::FillMerchant(merchant, nullptr);
    std::string text = "kept";
    AppendDialogCode(text, merchant);
    AppendDialogCode(text, merchant);
    EXPECT_EQ(text, "kept" + test::Golden("merchant.erm") + test::Golden("merchant.erm"));
}

// One dialog that goes through every branch of both passes: scripts, a message with empty and
// caret-only lines, carets in header and caption, a skill with and without a level, a failure
// condition, two costs, two rewards, an artefact, all three kinds of variable line and the
// follow-up by link (over a stale number) and by number. Golden block: smith.erm.
TEST(Generator, EveryRuleInOneBlock) {
    TDialogItem target;
    target.FunctionNumber = 2100;

    TDialogItem d;
    d.FunctionNumber = 2000;
    d.Hint = "Smith";
    d.ScriptBefore = "!!VRv100:S0;";
    d.Text[0] = "Welcome^";
    d.Text[2] = "^^";
    d.Text[3] = "Choose.";
    d.ScriptAfter = "!!VRv101:S1;";
    d.Header = "Forge ^1^";
    d.VariantEscape = 2;
    d.VariantDefault = 2;

    d.Variant[0] = "Sword ^x^";
    d.Variants[0].Skill = 8;
    d.Variants[0].Slevel = 2;
    d.Variants[0].FailOn = "&v5=1";
    d.Variants[0].Wood = 5;
    d.Variants[0].Gold = 1000;
    d.Variants[0].Variable = 7;
    d.Variants[0].DVariable = -5;
    d.LinkDialog[0] = &target;
    d.Function[0] = 1999;

    d.Variant[1] = "Shield";
    d.Variants[1].Skill = 3;
    d.Variants[1].giveOre = 3;
    d.Variants[1].giveGold = 250;
    d.Variants[1].Variable = 9;
    d.Variants[1].DVariable = 4;
    d.Variants[1].Artefact = 17;
    d.Function[1] = 3000;

    d.Variant[2] = "Leave"; // no variable: Variable 0 whatever the other two hold
    d.Variants[2].DVariable = 3;
    d.Variants[2].SVariable = 8;

    d.Variant[3] = "Wait"; // sets the variable, to 0
    d.Variants[3].Variable = 12;

    d.Variant[4] = "Run"; // a negative variable number is none
    d.Variants[4].Variable = -3;
    d.Variants[4].SVariable = 5;

    EXPECT_EQ(Block(d), test::Golden("smith.erm"));
}

TEST(Generator, ClosedGateWritesOnlyHeadScriptsAndMessage) {
    TDialogItem d;
    d.FunctionNumber = -5;
    d.Hint = "Gate";
    d.ScriptBefore = "!!VRv1:S1;";
    d.Text[0] = "Hi";
    d.ScriptAfter = "!!VRv2:S2;";
    d.Header = "Never shown";
    // Slot 0 is free although its data and the later slots are filled.
    d.Variants[0].Gold = 10;
    d.Variants[0].Variable = 3;
    d.Variant[1] = "Later";
    d.Function[2] = 7;
    d.Variants[1].Wood = 4;
    EXPECT_EQ(Block(d), "\n\n;Gate\n!?FU-5;\n!!VRv1:S1;\n!!IF:M^Hi^;\n!!VRv2:S2;");

    // A follow-up number alone opens the gate.
    d.Function[0] = 12;
    EXPECT_NE(Block(d).find("\n!!IF:G1/1/0/"), std::string::npos);
    EXPECT_NE(Block(d).find("\n!!FU12&y-3=1:PE;"), std::string::npos);
}

TEST(Generator, MessageLines) {
    TDialogItem d;
    d.FunctionNumber = 1;
    const std::string head = "\n\n;\n!?FU1;";
    EXPECT_EQ(Block(d), head) << "all thirty lines empty";

    d.Text[0] = "^^^";
    EXPECT_EQ(Block(d), head) << "only carets";

    d.Text[0] = "one";
    d.Text[2] = "three";
    EXPECT_EQ(Block(d), head + "\n!!IF:M^one\n\nthree^;") << "empty middle line stays";

    d.Text[0].clear();
    d.Text[2].clear();
    d.Text[29] = "last";
    EXPECT_EQ(Block(d), head + "\n!!IF:M^" + std::string(29, '\n') + "last^;");

    // Carets on several lines leave the line breaks, which are a message of their own.
    d.Text[29].clear();
    d.Text[0] = "^";
    d.Text[1] = "^";
    EXPECT_EQ(Block(d), head + "\n!!IF:M^\n^;");
}

TEST(Generator, DefaultAndEscapeMasks) {
    TDialogItem d;
    d.FunctionNumber = 1;
    d.Variant[0] = "a";
    d.Variants[0].Myth = 65535;
    d.VariantDefault = 0;
    d.VariantEscape = 11;
    const std::string zeroDefault = Block(d);
    EXPECT_NE(zeroDefault.find("\n!!IF:G1/1/0/z13/z1/"), std::string::npos);
    EXPECT_NE(zeroDefault.find("\n!!VRy-3&y-2=1/y-1<65535:S2048;"), std::string::npos);
    EXPECT_NE(zeroDefault.find("\n!!OW&y-3=1:R-1/7/d-65535;"), std::string::npos);

    d.VariantDefault = 12;
    EXPECT_NE(Block(d).find("\n!!IF:G1/1/2048/z13/"), std::string::npos);

    // The largest masks that still fit a signed 32-bit number.
    d.VariantDefault = 31;
    d.VariantEscape = 30;
    const std::string largest = Block(d);
    EXPECT_NE(largest.find("\n!!IF:G1/1/1073741824/z13/"), std::string::npos);
    EXPECT_NE(largest.find(":S1073741824;"), std::string::npos);
}

TEST(Generator, VariantMask) {
    EXPECT_EQ(VariantMask(-1), 0);
    EXPECT_EQ(VariantMask(0), 1);
    EXPECT_EQ(VariantMask(5), 32);
    EXPECT_EQ(VariantMask(11), 2048);
    EXPECT_EQ(VariantMask(30), 1073741824);
}

TEST(Generator, MaskThatDoesNotFitIsRefusedWithoutWriting) {
    struct Case {
        const char* field;
        std::uint8_t escape, default_;
    };
    for (const Case& c : {Case{"VariantEscape", 31, 0}, Case{"VariantEscape", 255, 1},
                          Case{"VariantDefault", 0, 32}, Case{"VariantDefault", 11, 255}}) {
        TDialogItem d;
        d.FunctionNumber = 1005;
        d.Variant[0] = "a";
        d.VariantEscape = c.escape;
        d.VariantDefault = c.default_;
        std::string text = "kept";
        std::string message = "(no error)";
        try {
            AppendDialogCode(text, d);
        } catch (const Error& e) {
            message = e.what();
        }
        EXPECT_THAT(message, ::testing::HasSubstr("1005"));
        EXPECT_THAT(message, ::testing::HasSubstr(c.field));
        EXPECT_EQ(text, "kept");
    }
}

TEST(Generator, SkillWithoutLevelEmptiesTheCaptionOnly) {
    TDialogItem d;
    d.FunctionNumber = 1;
    d.Variant[0] = "Scout";
    d.Variants[0].Skill = 28;
    const std::string block = Block(d);
    EXPECT_NE(block.find("\n!!VRz1:S^Scout^;\n!!HE-1:S27/?v1;\n!!VRz1&v1=0:S^^;"),
              std::string::npos);
    EXPECT_EQ(block.find("y-1<"), std::string::npos);
    EXPECT_EQ(block.find(W("[неудачно]")), std::string::npos);

    // With a level in slot 3 (mask 8): the skill test of the last skill in the game.
    d.Variant[1] = d.Variant[2] = d.Variant[3] = "x";
    d.Variants[3].Skill = 28;
    d.Variants[3].Slevel = 3;
    EXPECT_NE(Block(d).find("\n!!HE-1&y-2=8:S27/?y-1;\n!!VRy-3&y-2=8/y-1<3:S1;\n"
                            "!!IF&y-2=8/y-1<3:Q1/20/84/12/0/1^" +
                            W("[неудачно]") + "^;"),
              std::string::npos);
}

TEST(Generator, VariableLineFollowsTheChange) {
    TDialogItem d;
    d.FunctionNumber = 1;
    for (int k = 0; k < 3; ++k)
        d.Variant[static_cast<std::size_t>(k)] = "x";
    d.Variants[2].Variable = 7;
    d.Variants[2].DVariable = -5;
    d.Variants[2].SVariable = 99;
    EXPECT_NE(Block(d).find("\n!!VRv7&y-3=4:-5;"), std::string::npos);

    d.Variants[2].DVariable = 0;
    d.Variants[2].SVariable = -2147483647 - 1;
    EXPECT_NE(Block(d).find("\n!!VRv7&y-3=4:S-2147483648;"), std::string::npos);
}

} // namespace
} // namespace kv
