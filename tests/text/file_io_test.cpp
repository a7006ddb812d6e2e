#include "text/error.h"
#include "text/file_io.h"

#include "support/error_text.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using kvtest::ErrorOf;
using kvtest::ReadBytes;
using kvtest::WriteBytes;
using Names = std::set<std::string>;

TEST(ReadWholeFile, EveryByteOrTheUsersText) {
    kvtest::TempDir dir;
    const std::string bytes("a\r\nb\0c\x1a\xFF\n", 9), path = dir.Path("in.tlk");
    WriteBytes(path, bytes);
    EXPECT_EQ(kv::ReadWholeFile(path), bytes);
    // A large file is read in parts side by side; each byte still lands in its place.
    std::string large(9'000'001, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>((i * 2654435761u) >> 13);
    WriteBytes(dir.Path("large.tlk"), large);
    EXPECT_TRUE(kv::ReadWholeFile(dir.Path("large.tlk")) == large);
    auto error = [](const std::string& p) { return ErrorOf([&] { kv::ReadWholeFile(p); }); };
    EXPECT_EQ(error(dir.Path("no/such.tlk")),
              "Cannot open file \"" + dir.Path("no/such.tlk") + "\". File not found");
    EXPECT_EQ(error(""), "Cannot open file \"\". File not found");
    EXPECT_THAT(error(dir.Root().string()), testing::EndsWith("\". File access denied"));
#ifdef _WIN32
    EXPECT_THAT(error("NUL"), testing::EndsWith("\". Not a regular file"));
#else
    EXPECT_THAT(error("/dev/zero"), testing::EndsWith("\". Not a regular file"));
#endif
    // A sparse file larger than any project: refused without reading a byte of it.
    fs::resize_file(path, kv::kMaxReadBytes + 1);
    EXPECT_THAT(error(path), testing::EndsWith("in.tlk\". File too large"));
}

// Bytes that a file grew by while it was read go after those read into the room its size gave,
// in more room when there is too little.
TEST(ReadWholeFile, BytesBeyondTheRoomAreKeptAfterTheOthers) {
    kv::FileBytes bytes(4);
    std::memcpy(bytes.room(), "abc", 3);
    bytes.Keep(3);
    for (const char* more : {"d", "", "efghijklmnop", "q"})
        bytes.Append(more, std::strlen(more));
    EXPECT_EQ(bytes.view(), "abcdefghijklmnopq");
    EXPECT_EQ(kv::FileBytes().view(), "");
}

// Every test leaves the fault seam empty for the next one.
class ReplaceFileSafely : public testing::Test {
protected:
    void TearDown() override { kv::SetReplaceFaultHook({}); }
    kvtest::TempDir dir;
    const std::string path = dir.Path("p.tlk");
};

TEST_F(ReplaceFileSafely, KeepsThePermissionBitsAndASymbolicLinkAndNoTemporaryFile) {
    WriteBytes(path, "old and longer");
#ifdef _WIN32
    // Windows has no permission bits beyond read-only, and links need rights a user lacks.
    kv::ReplaceFileSafely(path, "new");
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(dir.Entries(), Names{"p.tlk"});
#else
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, perms);
    fs::create_symlink(path, dir.Path("link.tlk"));
    kv::ReplaceFileSafely(dir.Path("link.tlk"), "new"); // the file it points to is replaced
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), perms);
    EXPECT_TRUE(fs::is_symlink(dir.Path("link.tlk")));
    EXPECT_EQ(dir.Entries(), (Names{"link.tlk", "p.tlk"}));
#endif
}

} // namespace
