#include "erm/generator.h"
#include "project/ini_import.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace {

using ::testing::HasSubstr;

std::string Block(const TDialogItem& dialog) {
    std::string text;
    AppendDialogCode(text, dialog);
    return text;
}

// The blocks of the dialogs that tests/data/erm/NAME.ini describes are NAME.erm, byte for byte.
TEST(Generator, TheMerchantAndTheEveryRuleBlockAreByteForByte) {
    auto golden = [](const char* name) {
        return kvtest::ReadBytes(KORV_TEST_DATA "/erm/" + std::string(name));
    };
    Project merchant = ImportIniFile(KORV_TEST_DATA "/erm/merchant.ini");
    EXPECT_EQ(Block(*merchant.Dialogs()), golden("merchant.erm"));
    // A link gives its target's number at the moment of compiling.
    merchant.DialogAt(1)->FunctionNumber = 150;
    EXPECT_THAT(Block(*merchant.Dialogs()), HasSubstr("\n!!FU150&y-3=1:PE;"));

    Project smith = ImportIniFile(KORV_TEST_DATA "/erm/smith.ini");
    smith.DialogAt(1)->FunctionNumber = 2100; // renumbered: the link wins over the stale number
    EXPECT_EQ(Block(*smith.Dialogs()), golden("smith.erm"));
}

TEST(Generator, WithSlot0FreeOnlyTheHeadTheScriptsAndTheMessageAreWritten) {
    TDialogItem d;
    d.FunctionNumber = -5;
    d.Hint = "Gate";
    d.ScriptBefore = "!!VRv1:S1;";
    d.Text[0] = "Hi";
    d.ScriptAfter = "!!VRv2:S2;";
    d.Header = "Never shown";
    d.Variants[0].Gold = 10; // data alone does not open the gate, nor later slots
    d.Variant[1] = "Later";
    d.Function[2] = 7;
    EXPECT_EQ(Block(d), "\n\n;Gate\n!?FU-5;\n!!VRv1:S1;\n!!IF:M^Hi^;\n!!VRv2:S2;");
    d.Function[0] = 12; // a follow-up number alone opens it
    EXPECT_THAT(Block(d), HasSubstr("\n!!FU12&y-3=1:PE;"));
}

TEST(Generator, TheMessageRunsToItsLastLineWithoutCarets) {
    const std::string head = "\n\n;\n!?FU1;";
    const struct {
        std::vector<std::pair<std::size_t, const char*>> lines;
        std::string message;
    } cases[] = {
        {{}, ""},                                                 // all thirty lines empty
        {{{0, "^^^"}}, ""},                                       // only carets
        {{{0, "one"}, {2, "th^ree"}}, "\n!!IF:M^one\n\nthree^;"}, // an empty middle line stays
        {{{29, "last"}}, "\n!!IF:M^" + std::string(29, '\n') + "last^;"},
        {{{0, "^"}, {1, "^"}}, "\n!!IF:M^\n^;"}, // the line break is a message of its own
    };
    for (const auto& c : cases) {
        TDialogItem d;
        d.FunctionNumber = 1;
        for (const auto& [line, text] : c.lines)
            d.Text[line] = text;
        EXPECT_EQ(Block(d), head + c.message);
    }
}

TEST(Generator, DefaultAndEscapeMasks) {
    TDialogItem d;
    d.FunctionNumber = 1005;
    d.Variant[0] = "a";
    d.Variants[0].Myth = 65535;
    d.VariantEscape = 11;
    EXPECT_THAT(Block(d), HasSubstr("\n!!IF:G1/1/0/z13/z1/")); // no default
    EXPECT_THAT(Block(d), HasSubstr("\n!!VRy-3&y-2=1/y-1<65535:S2048;"));
    d.VariantDefault = 31; // the largest masks that still fit a signed 32-bit number
    d.VariantEscape = 30;
    EXPECT_THAT(Block(d), HasSubstr("\n!!IF:G1/1/1073741824/z13/"));
    EXPECT_THAT(Block(d), HasSubstr(":S1073741824;"));

    // One more is refused, naming the dialog and the field, before anything is appended.
    std::string text = "kept";
    d.VariantEscape = 31;
    EXPECT_THAT(kvtest::ErrorOf([&] { AppendDialogCode(text, d); }),
                testing::AllOf(HasSubstr("1005"), HasSubstr("VariantEscape")));
    d.VariantEscape = 0;
    d.VariantDefault = 32;
    EXPECT_THAT(kvtest::ErrorOf([&] { AppendDialogCode(text, d); }), HasSubstr("VariantDefault"));
    EXPECT_EQ(text, "kept");
    d.Variant[0] = ""; // without the choice code no mask is written, so none is refused
    EXPECT_EQ(Block(d), "\n\n;\n!?FU1005;");
}

} // namespace
} // namespace kv
