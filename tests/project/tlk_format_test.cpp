#include "project/tlk_file.h"

#include "project_compare.h"
#include "sample_projects.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::size_t CountLines(const std::string& bytes) {
    std::size_t crlf = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        crlf += bytes[i] == '\r' && bytes[i + 1] == '\n';
    return crlf;
}

TEST(TlkFormat, TheWorkedExampleMatchesItsGoldenFileByteForByte) {
    const std::string golden = kvtest::ReadBytes(KORV_TEST_DATA "/worked_example.tlk");
    ASSERT_EQ(CountLines(golden), 338u);
    EXPECT_EQ(kv::SerializeProject(WorkedExampleProject()), golden);

    kv::Project loaded = kv::ParseProject(golden);
    ExpectLoadedAsSaved(WorkedExampleProject(), loaded);
    EXPECT_EQ(loaded.Dialogs()->LinkDialog[0], nullptr); // 1001 is not in the project
    EXPECT_EQ(kv::SerializeProject(loaded), golden);
}

TEST(TlkFormat, EveryDialogTakes336LinesEndingInCrLf) {
    const std::string bytes = kv::SerializeProject(VariedProject());
    EXPECT_EQ(CountLines(bytes), 2u + 3u * 336u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos); // every LF comes with its CR
}

TEST(TlkFormat, AnEmptyProjectIsTwoLines) {
    kv::Project empty;
    empty.FunctionStart = 3000;
    empty.ScriptFile = "\xEA\xE0\xF0\xF2\xE0.erm";
    const std::string bytes = kv::SerializeProject(empty);
    EXPECT_EQ(bytes, "3000\r\n\xEA\xE0\xF0\xF2\xE0.erm\r\n");
    kv::Project loaded = kv::ParseProject(bytes);
    EXPECT_EQ(loaded.Dialogs(), nullptr);
    EXPECT_EQ(loaded.FunctionStart, 3000);
    EXPECT_EQ(loaded.ScriptFile, empty.ScriptFile);
}

TEST(TlkFormat, AVariedProjectComesBackWhole) {
    const kv::Project saved = VariedProject();
    const std::string bytes = kv::SerializeProject(saved);
    kv::Project loaded = kv::ParseProject(bytes);
    ExpectLoadedAsSaved(saved, loaded);
    EXPECT_FALSE(loaded.Modified);
    EXPECT_EQ(kv::SerializeProject(loaded), bytes);
}

TEST(TlkFormat, FollowUpsAreWrittenFromTheLinksCurrentNumber) {
    kv::Project p;
    kv::TDialogItem* from = p.AppendDialog();
    kv::TDialogItem* target = p.AppendDialog();
    kv::TDialogItem* twin = p.AppendDialog();
    from->FunctionNumber = 1000;
    target->FunctionNumber = 1001;
    twin->FunctionNumber = 1100;
    from->Variant[0] = "go";
    from->LinkDialog[0] = target;
    from->Function[0] = 1001;
    target->FunctionNumber = 1100; // renumbered: now shares its number with `twin`, ahead of it

    const std::string bytes = kv::SerializeProject(p);
    // The first block's follow-up lines are its last twelve lines, starting at line 2 + 325.
    std::size_t pos = 0;
    for (int line = 1; line < 2 + 325; ++line)
        pos = bytes.find("\r\n", pos) + 2;
    EXPECT_EQ(bytes.substr(pos, 6), "1100\r\n");

    kv::Project loaded = kv::ParseProject(bytes);
    EXPECT_EQ(loaded.Dialogs()->LinkDialog[0], loaded.DialogAt(1));
    EXPECT_EQ(loaded.Dialogs()->Function[0], 1100);
}

} // namespace
