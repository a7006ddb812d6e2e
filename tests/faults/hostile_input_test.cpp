// Input no user means to give but some file holds: control bytes in texts, Unicode INI files,
// pipes where files should be, and values that only look out of range.
#include "fault_fixture.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

#include "project/ini_import.h"

#include <gmock/gmock.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

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
    const std::u16string text = u"[Main]\nFunctionStart=1\nFunctionEnd=3\n[1]\nHint=Привет\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (char16_t c : text) {
        le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    }
    const std::string hello = Utf8ToCp1251("Привет"), plain = Utf16ToCp1251(text);
    const std::pair<std::string, std::string> cases[] = {
        {plain, hello}, {"\xEF\xBB\xBF" + Cp1251ToUtf8(plain), hello}, {le, hello}, {be, hello},
        {"[Main]\nFunctionEnd=1002\n[1000]\nHint=a\x1A" "b\n", "a b"}}; // byte 26 in the first
    kvtest::TempDir dir;
    for (const auto& [bytes, hint] : cases) {
        const Project imported = ImportIniProject(bytes);
        const Project loaded = ParseProject(SerializeProject(imported));
        ASSERT_EQ(loaded.DialogCount(), 3) << bytes;
        EXPECT_EQ(loaded.Dialogs()->Hint, hint);
        EXPECT_EQ(SerializeProject(loaded), SerializeProject(imported));
        // The same from a file, whose bytes the import reads into memory of its own.
        kvtest::WriteBytes(dir.Path("p.ini"), bytes);
        EXPECT_EQ(SerializeProject(ImportIniFile(dir.Path("p.ini"))), SerializeProject(imported));
    }
}

TEST(HostileInput, APipeOrAnOversizedFileIsRefusedAtOnce) {
    kvtest::TempDir dir;
    const Project project = SampleProject(1);
#ifndef _WIN32 // no named pipe in a Windows file system
    const std::string pipe = dir.Path("f.tlk");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::function<void()> readers[] = {
        [&] { LoadProject(pipe); },
        [&] { ImportIniFile(pipe); },
        [&] { CompileScript(project, pipe, "01.02.2024 10:00:00"); },
    };
    for (const auto& read : readers)
        EXPECT_THAT(ErrorOf(read), testing::HasSubstr("Not a regular file"));
    EXPECT_THAT(ErrorOf(readers[0]), testing::HasSubstr(pipe)); // the file is named
    EXPECT_EQ(ReadSettings(pipe).Width, Settings{}.Width); // the designed values
#endif
    // A script larger than any read may be is refused before it is read, as every file is.
    const std::string huge = dir.Path("huge.erm");
    kvtest::WriteBytes(huge, "");
    std::filesystem::resize_file(huge, kMaxReadBytes + 1);
    EXPECT_THAT(ErrorOf([&] { CompileScript(project, huge, ""); }), testing::EndsWith("File too large"));
}

} // namespace
} // namespace kv::faults
