#include "project/tlk_file.h"

#include "project_compare.h"
#include "sample_projects.h"
#include "support/error_text.h"
#include "support/temp_dir.h"
#include "text/error.h"
#include "text/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

using kvtest::ErrorOf;
using kvtest::ReadBytes;
using kvtest::TempDir;
using kvtest::WriteBytes;

class TlkFile : public testing::Test {
protected:
    void TearDown() override { kv::SetReplaceFaultHook({}); }
    TempDir dir;
};

TEST_F(TlkFile, SaveWritesTheProjectAndClearsModified) {
    kv::Project p = VariedProject();
    p.Modified = true;
    const std::string path = dir.Path("varied.tlk");
    kv::SaveProject(p, path);
    EXPECT_FALSE(p.Modified);
    EXPECT_EQ(ReadBytes(path), kv::SerializeProject(p));

    kv::Project loaded = kv::LoadProject(path);
    ExpectLoadedAsSaved(p, loaded);
    EXPECT_EQ(loaded.ProjectFileName, path);
    EXPECT_FALSE(loaded.Modified);
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"varied.tlk"});
}

TEST_F(TlkFile, AFailedLoadLeavesTheOpenProjectAlone) {
    kv::Project open = WorkedExampleProject();
    open.ProjectFileName = "open.tlk";
    open.Modified = true;
    const std::string before = kv::SerializeProject(open);

    WriteBytes(dir.Path("word.tlk"),
               "1000\r\nx.erm\r\n1000\r\nhint\r\n" + std::string(40, '\n') + "not a number\r\n");
    std::filesystem::create_directory(dir.Path("folder.tlk"));
    EXPECT_EQ(ErrorOf([&] { open = kv::LoadProject(dir.Path("word.tlk")); }),
              "Invalid numeric input");
    EXPECT_EQ(ErrorOf([&] { open = kv::LoadProject(dir.Path("missing.tlk")); }), "File not found");
    EXPECT_EQ(ErrorOf([&] { open = kv::LoadProject(dir.Path("folder.tlk")); }),
              "File access denied");

    EXPECT_EQ(kv::SerializeProject(open), before);
    EXPECT_EQ(open.ProjectFileName, "open.tlk");
    EXPECT_TRUE(open.Modified);
}

TEST_F(TlkFile, ASaveThatCannotBeWrittenKeepsModifiedAndCreatesNothing) {
    kv::Project p = WorkedExampleProject();
    p.Modified = true;
    EXPECT_EQ(ErrorOf([&] { kv::SaveProject(p, dir.Path("no/such/folder/p.tlk")); }),
              "File not found");
    EXPECT_TRUE(p.Modified);
    std::filesystem::create_directory(dir.Path("taken.tlk"));
    EXPECT_EQ(ErrorOf([&] { kv::SaveProject(p, dir.Path("taken.tlk")); }), "File access denied");
    EXPECT_TRUE(p.Modified);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("taken.tlk")));
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"taken.tlk"});
}

TEST_F(TlkFile, ASaveThatFailsPartWayKeepsTheLastGoodFile) {
    const std::string path = dir.Path("project.tlk");
    kv::Project good = WorkedExampleProject();
    kv::SaveProject(good, path);
    const std::string lastGood = ReadBytes(path);

    kv::Project changed = VariedProject();
    for (auto step : {kv::ReplaceStep::CreateTemporary, kv::ReplaceStep::Write,
                      kv::ReplaceStep::Flush, kv::ReplaceStep::PutInPlace}) {
        SCOPED_TRACE(static_cast<int>(step));
        changed.Modified = true;
        kv::SetReplaceFaultHook([step](kv::ReplaceStep s) { return s == step; });
        EXPECT_THROW(kv::SaveProject(changed, path), kv::Error);
        EXPECT_TRUE(changed.Modified);
        EXPECT_EQ(ReadBytes(path), lastGood);
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"project.tlk"});
    }
    kv::SetReplaceFaultHook({});
    kv::SaveProject(changed, path);
    EXPECT_FALSE(changed.Modified);
    EXPECT_EQ(ReadBytes(path), kv::SerializeProject(changed));
}

} // namespace
