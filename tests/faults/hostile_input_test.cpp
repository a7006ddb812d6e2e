// Input no user means to give but some file holds: control bytes in texts, Unicode INI files,
// pipes where files should be, and values that only look out of range.
#include "fault_fixture.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

#include "erm/generator.h"
#include "project/ini_import.h"

#include <gmock/gmock.h>

#include <sys/stat.h>

namespace kv::faults {
namespace {

using kvtest::ErrorOf;

TEST(HostileInput, EveryByteOfEveryKindOfTextComesBackFromTheProjectFile) {
    // A byte the file would give back otherwise (LF ends the line, 26 the file) is a blank from
    // the moment it enters; every other byte is kept as it came.
    Project project;
    for (int b = 0; b < 256; ++b) {
        TDialogItem& d = *project.AppendDialog();
        const std::string text = {'a', static_cast<char>(b), 'b'};
        d.Hint = d.Text[0] = d.ScriptAfter = d.Variant[0] = d.Variants[11].FailOn = text;
        const char kept = b == '\n' || b == 26 ? ' ' : static_cast<char>(b);
        EXPECT_EQ(d.Text[0], std::string({'a', kept, 'b'})) << b;
    }
    const std::string saved = SerializeProject(project);
    const Project loaded = ParseProject(saved);
    EXPECT_EQ(loaded.DialogCount(), 256);
    EXPECT_EQ(SerializeProject(loaded), saved);
}

TEST(HostileInput, AnIniProjectIsReadWhateverItsEncodingAndKeptWhole) {
    const std::string hello = Utf8ToCp1251("Привет");
    auto utf16 = [](bool little) {
        std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (char16_t c : u"[Main]\r\nFunctionStart=1\r\nFunctionEnd=3\r\n[1]\r\nHint=Привет\r\n") {
            const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
            out += little ? std::string{low, high} : std::string{high, low};
        }
        return out;
    };
    const std::string plain = "[Main]\r\nFunctionStart=1\r\nFunctionEnd=3\r\n[1]\r\nHint=";
    const struct {
        const char* name;
        std::string bytes;
        std::string hint;
    } cases[] = {
        {"Windows-1251", plain + hello + "\r\n", hello},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + plain + "Привет\r\n", hello},
        {"UTF-16 LE", utf16(true), hello},
        {"UTF-16 BE", utf16(false), hello},
        {"a byte 26 in the first dialog", plain + "a\x1A" "b\r\n[3]\r\nHint=last\r\n", "a b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Project imported = ImportIniProject(c.bytes);
        const Project loaded = ParseProject(SerializeProject(imported));
        ASSERT_EQ(loaded.DialogCount(), 3);
        EXPECT_EQ(loaded.Dialogs()->Hint, c.hint);
        EXPECT_EQ(SerializeProject(loaded), SerializeProject(imported));
    }
}

TEST(HostileInput, APipeInPlaceOfAFileIsRefusedAtOnce) {
    kvtest::TempDir dir;
    const std::string pipe = dir.Path("f.tlk");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const Project project = SampleProject(1);
    const std::function<void()> readers[] = {
        [&] { LoadProject(pipe); },
        [&] { ImportIniFile(pipe); },
        [&] { CompileScript(project, pipe, "01.02.2024 10:00:00"); },
    };
    for (const auto& read : readers)
        EXPECT_THAT(ErrorOf(read), testing::HasSubstr("Not a regular file"));
    EXPECT_THAT(ErrorOf(readers[0]), testing::HasSubstr(pipe)); // the file is named
    EXPECT_EQ(ReadSettings(pipe).Width, Settings{}.Width);      // the designed values
}

TEST(HostileInput, OnlyTheMasksThatAreWrittenAreChecked) {
    // VariantEscape -1 reads as 255, too wide for a mask; without an answer in slot 0 no mask is
    // written and the dialog compiles, with one it is refused.
    const std::string ini = "[Main]\r\nFunctionStart=1\r\nFunctionEnd=1\r\n[1]\r\nVariantEscape=-1\r\n";
    std::string code;
    AppendDialogCode(code, *ImportIniProject(ini).Dialogs());
    EXPECT_EQ(code, "\n\n;\n!?FU1;");
    EXPECT_THAT(ErrorOf([&] { AppendDialogCode(code, *ImportIniProject(ini + "Variant0=a\r\n").Dialogs()); }),
                testing::HasSubstr("VariantEscape = 255"));
}

} // namespace
} // namespace kv::faults
