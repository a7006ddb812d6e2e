#include "erm/erm_samples.h"
#include "erm/generator.h"
#include "text/error.h"

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

// The twelve caption lines of a dialog whose answers from `from` on have no caption.
std::string EmptyCaptions(int from) {
    std::string lines;
    for (int z = from; z <= 12; ++z)
        lines += "\n!!VRz" + std::to_string(z) + ":S^^;";
    return lines;
}

TEST(Generator, MerchantBlockIsByteForByte) {
    TDialogItem target;
    target.FunctionNumber = 101;
    TDialogItem merchant;
    test::FillMerchant(merchant, &target);
    EXPECT_EQ(Block(merchant), W(test::kMerchantBlock));

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
    EXPECT_EQ(text, "kept" + W(test::kMerchantBlock) + W(test::kMerchantBlock));
}

// One dialog that goes through every branch of both passes: scripts, a message with empty and
// caret-only lines, carets in header and caption, a skill with and without a level, a failure
// condition, two costs, two rewards, an artefact, all three kinds of variable line and the
// follow-up by link (over a stale number) and by number.
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

    const std::string expected = R"(

;Smith
!?FU2000;
!!VRv100:S0;
!!IF:M^Welcome


Choose.^;
!!VRv101:S1;
!!VRz13:S^Forge ^1^^;
!!VRz1:S^Sword ^x^^;
!!HE-1:S7/?v1;
!!VRz1&v1=0:S^^;
!!VRz1&v5=1:S^^;
!!VRz2:S^Shield^;
!!HE-1:S2/?v1;
!!VRz2&v1=0:S^^;
!!VRz3:S^Leave^;
!!VRz4:S^Wait^;
!!VRz5:S^Run^;)" + EmptyCaptions(6) +
                                 R"(
!!IF:G1/1/2/z13/z1/z2/z3/z4/z5/z6/z7/z8/z9/z10/z11/z12;
!!VRy-2:Sv1;
!!VRy-3:Sv1;
!!HE-1&y-2=1:S7/?y-1;
!!VRy-3&y-2=1/y-1<2:S4;
!!IF&y-2=1/y-1<2:Q1/20/24/12/0/1^[неудачно]^;
!!OW&y-2=1:R-1/0/?y-1;
!!IF&y-2=1/y-1<5:Q1/0/5/1^Необходимо:^;
!!VRy-3&y-2=1/y-1<5:S4;
!!OW&y-2=1:R-1/6/?y-1;
!!IF&y-2=1/y-1<1000:Q1/6/1000/1^Необходимо:^;
!!VRy-3&y-2=1/y-1<1000:S4;
!!OW&y-3=1:R-1/0/d-5;
!!OW&y-3=1:R-1/6/d-1000;
!!VRv7&y-3=1:-5;
!!FU2100&y-3=1:PE;
!!OW&y-3=2:R-1/2/d+3;
!!IF&y-3=2:Q1/2/3/1^Вы получаете:^;
!!OW&y-3=2:R-1/6/d+250;
!!IF&y-3=2:Q1/6/250/1^Вы получаете:^;
!!VRv9&y-3=2:+4;
!!HE-1&y-3=2:A17;
!!IF&y-3=2:Q1/8/17/1^Вы получаете:^;
!!FU3000&y-3=2:PE;
!!VRv12&y-3=8:S0;)";
    EXPECT_EQ(Block(d), W(expected));
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
    TDialogItem d;
    d.FunctionNumber = 1005;
    d.Variant[0] = "a";

    d.VariantEscape = 31;
    std::string text = "kept";
    try {
        AppendDialogCode(text, d);
        FAIL() << "escape slot 31 was accepted";
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("1005"), std::string::npos) << message;
        EXPECT_NE(message.find("VariantEscape"), std::string::npos) << message;
    }
    EXPECT_EQ(text, "kept");

    d.VariantEscape = 0;
    d.VariantDefault = 32;
    try {
        AppendDialogCode(text, d);
        FAIL() << "default variant 32 was accepted";
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("1005"), std::string::npos) << message;
        EXPECT_NE(message.find("VariantDefault"), std::string::npos) << message;
    }
    EXPECT_EQ(text, "kept");

    d.VariantDefault = 255;
    EXPECT_THROW(AppendDialogCode(text, d), Error);
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
