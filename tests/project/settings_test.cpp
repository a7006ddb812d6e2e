#include "project/settings.h"

#include "support/temp_dir.h"
#include "text/error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

using kv::ReadSettings;
using kv::Settings;
using kvtest::ReadBytes;

auto Fields(const Settings& s) {
    return std::tie(s.Maps, s.Width, s.Height, s.Left, s.Top, s.Panel, s.TextWidth, s.TextHeight,
                    s.TextLeft, s.TextTop, s.Recent, s.Docks);
}

TEST(Settings, RecentProjectsKeepTheLatestEightEachOnce) {
    std::vector<std::string> recent{"1", "2", "3", "4", "5", "6", "7", "8"};
    kv::RememberProject(recent, "3");
    kv::RememberProject(recent, "9");
    EXPECT_EQ(recent, (std::vector<std::string>{"9", "3", "1", "2", "4", "5", "6", "7"}));
}

TEST(Settings, EachValueComesFromItsOwnKeyOrTheDefault) {
    kvtest::TempDir folder;
    Settings expected;
    expected.Maps = "D:\\maps\\";
    EXPECT_EQ(Fields(ReadSettings(folder.Path("none.ini"), expected)), Fields(expected));
    EXPECT_TRUE(folder.Entries().empty()); // a missing file is not made by reading it
    expected = Settings{};                 // an empty height and a word for top keep theirs
    expected.Width = 800;
    expected.TextLeft = 3;
    EXPECT_EQ(Fields(ReadSettings(KORV_TEST_DATA "/settings/by_hand.ini")), Fields(expected));

    // A folder in the file's place reads as the defaults and is never replaced.
    std::filesystem::create_directory(folder.Path("dir.ini"));
    EXPECT_EQ(Fields(ReadSettings(folder.Path("dir.ini"))), Fields(Settings{}));
    EXPECT_THROW(kv::WriteSettings(folder.Path("dir.ini"), Settings{}), kv::Error);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path("dir.ini")));
}

TEST(Settings, WritingKeepsForeignLinesAndReadsBack) {
    kvtest::TempDir folder;
    const std::string path = folder.Path("k.ini");
    kv::WriteSettings(path, Settings{});
    EXPECT_EQ(ReadBytes(path), ReadBytes(KORV_TEST_DATA "/settings/defaults.ini"));

    kvtest::WriteBytes(path, ReadBytes(KORV_TEST_DATA "/settings/by_hand.ini"));
    Settings s;
    s.Maps = "\xCA\xE0\xF0\xF2\xFB\\ "; // Cyrillic, with a blank at the end
    s.Width = 1024;
    s.TextTop = -20;
    s.Recent = {"/maps/\xCA\xE0\xF0\xF2\xFB.tlk", "/b.tlk"};
    s.Docks = "000000ff";
    kv::WriteSettings(path, s);
    EXPECT_EQ(ReadBytes(path), ReadBytes(KORV_TEST_DATA "/settings/by_hand_written.ini"));
    EXPECT_EQ(Fields(ReadSettings(path)), Fields(s));
}

} // namespace
