#include "text/error.h"
#include "text/file_io.h"

#include "support/error_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using kvtest::ErrorOf;
using kvtest::ReadBytes;
using kvtest::TempDir;
using kvtest::WriteBytes;

// Every test leaves the fault seam empty for the next one.
class ReplaceFileSafely : public testing::Test {
protected:
    void TearDown() override { kv::SetReplaceFaultHook({}); }
    TempDir dir;
};

TEST(ReadWholeFile, ReturnsEveryByte) {
    TempDir dir;
    const std::string bytes("a\r\nb\0c\x1a\xFF\n", 9);
    WriteBytes(dir.Path("in.tlk"), bytes);
    EXPECT_EQ(kv::ReadWholeFile(dir.Path("in.tlk")), bytes);
    WriteBytes(dir.Path("empty.tlk"), "");
    EXPECT_EQ(kv::ReadWholeFile(dir.Path("empty.tlk")), "");
}

TEST(ReadWholeFile, ReportsTheUsersText) {
    TempDir dir;
    EXPECT_EQ(ErrorOf([&] { kv::ReadWholeFile(dir.Path("missing.tlk")); }), "File not found");
    EXPECT_EQ(ErrorOf([&] { kv::ReadWholeFile(dir.Path("no/such/folder.tlk")); }),
              "File not found");
    EXPECT_EQ(ErrorOf([&] { kv::ReadWholeFile(""); }), "File not found");
    EXPECT_EQ(ErrorOf([&] { kv::ReadWholeFile(dir.Root().string()); }), "File access denied");
}

TEST_F(ReplaceFileSafely, CreatesAndReplacesWithoutLeavingATemporaryFile) {
    const std::string path = dir.Path("project.tlk");
    kv::ReplaceFileSafely(path, "first\r\n");
    EXPECT_EQ(ReadBytes(path), "first\r\n");
    kv::ReplaceFileSafely(path, "second, longer\r\n");
    EXPECT_EQ(ReadBytes(path), "second, longer\r\n");
    kv::ReplaceFileSafely(path, "");
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"project.tlk"});
}

TEST_F(ReplaceFileSafely, KeepsThePermissionBitsOfTheOldFile) {
    const std::string path = dir.Path("project.tlk");
    WriteBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    kv::ReplaceFileSafely(path, "new");
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ReplaceFileSafely, EachFailingStepKeepsTheOldFileByteForByte) {
    const std::string path = dir.Path("project.tlk");
    const std::string old("old\r\ncontent\0\xE0", 14);
    for (auto step : {kv::ReplaceStep::CreateTemporary, kv::ReplaceStep::Write,
                      kv::ReplaceStep::Flush, kv::ReplaceStep::PutInPlace}) {
        SCOPED_TRACE(static_cast<int>(step));
        WriteBytes(path, old);
        std::set<kv::ReplaceStep> asked;
        kv::SetReplaceFaultHook([&](kv::ReplaceStep s) {
            asked.insert(s);
            return s == step;
        });
        for (std::string content : {std::string("new content"), std::string()}) {
            asked.clear();
            EXPECT_EQ(ErrorOf([&] { kv::ReplaceFileSafely(path, content); }), "I/O error 5");
            EXPECT_TRUE(asked.count(step)) << "the step was never reached";
            EXPECT_EQ(ReadBytes(path), old);
            EXPECT_EQ(dir.Entries(), std::set<std::string>{"project.tlk"});
        }
    }
}

TEST_F(ReplaceFileSafely, AFailedFirstSaveCreatesNothing) {
    const std::string path = dir.Path("new.tlk");
    kv::SetReplaceFaultHook([](kv::ReplaceStep s) { return s == kv::ReplaceStep::Flush; });
    EXPECT_THROW(kv::ReplaceFileSafely(path, "x"), kv::Error);
    EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(ReplaceFileSafely, RefusesPlacesThatCannotHoldTheFile) {
    EXPECT_EQ(ErrorOf([&] { kv::ReplaceFileSafely(dir.Path("no/such/folder/p.tlk"), "x"); }),
              "File not found");
    fs::create_directory(dir.Path("folder"));
    EXPECT_EQ(ErrorOf([&] { kv::ReplaceFileSafely(dir.Path("folder"), "x"); }),
              "File access denied");
    EXPECT_TRUE(fs::is_directory(dir.Path("folder")));
    EXPECT_EQ(dir.Entries(), std::set<std::string>{"folder"});
}

TEST_F(ReplaceFileSafely, WritesThroughASymbolicLinkAndKeepsTheLink) {
    const std::string real = dir.Path("real.tlk");
    const std::string link = dir.Path("link.tlk");
    WriteBytes(real, "old");
    fs::create_symlink(real, link);
    kv::ReplaceFileSafely(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "new");
}

} // namespace
