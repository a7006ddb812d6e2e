#include "project/settings.h"
#include "support/error_text.h"
#include "support/temp_dir.h"
#include "text/error.h"
#include "text/file_io.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

using kv::ReadSettings;
using kv::Settings;
using kv::WriteSettings;

auto Fields(const Settings& s) {
    return std::tie(s.Maps, s.Width, s.Height, s.Left, s.Top, s.Panel, s.TextWidth, s.TextHeight,
                    s.TextLeft, s.TextTop);
}

TEST(Settings, AMissingFileGivesTheDefaultsAndTheFirstWriteHasAllTenKeys) {
    kvtest::TempDir folder;
    const std::string path = folder.Path("korvanthiel.ini");
    Settings custom;
    custom.Maps = "D:\\maps\\";
    EXPECT_EQ(Fields(ReadSettings(path, custom)), Fields(custom));
    EXPECT_EQ(folder.Entries().size(), 0u);

    WriteSettings(path, Settings{});
    EXPECT_EQ(kv::ReadWholeFile(path), "[Options]\r\n"
                                       "Maps=C:\\Games\\Valdmarsk\\Maps\\\r\n"
                                       "Width=722\r\nHeight=502\r\nLeft=197\r\nTop=103\r\n"
                                       "Panel=254\r\n"
                                       "[Text]\r\n"
                                       "Width=596\r\nHeight=293\r\nLeft=192\r\nTop=103\r\n");
}

TEST(Settings, EachValueComesFromItsOwnKey) {
    kvtest::TempDir folder;
    const std::string path = folder.Path("k.ini");
    kvtest::WriteBytes(path, "[text]\ntop=4\nleft=3\nheight=2\nwidth=1\n"
                             "[OPTIONS]\npanel=0\ntop=-14\nleft=13\n"
                             "height=\nwidth=wide\nmaps=\"E:\\maps\\\"\n");
    Settings expected;
    expected.Maps = "E:\\maps\\";
    expected.Left = 13;
    expected.Top = -14;
    expected.Panel = 0; // the window keeps the panel at least 10 wide, not the file
    expected.TextWidth = 1;
    expected.TextHeight = 2;
    expected.TextLeft = 3;
    expected.TextTop = 4;
    EXPECT_EQ(Fields(ReadSettings(path)), Fields(expected)); // Width and Height unreadable
}

TEST(Settings, WritingKeepsForeignLinesAndRoundTrips) {
    kvtest::TempDir folder;
    const std::string path = folder.Path("k.ini");
    kvtest::WriteBytes(path, "; by hand\n[Options]\nWidth=800\n"
                             "Recent=C:\\last.tlk\n\n[Plugins]\nSpell=on\n");
    Settings s;
    s.Maps = "\xCA\xE0\xF0\xF2\xFB\\ "; // Cyrillic, with a blank at the end
    s.Width = 1024;
    s.TextTop = -20;
    WriteSettings(path, s);
    const std::string once = kv::ReadWholeFile(path);
    EXPECT_EQ(once, "; by hand\r\n[Options]\r\nWidth=1024\r\nRecent=C:\\last.tlk\r\n"
                    "Maps=\"\xCA\xE0\xF0\xF2\xFB\\ \"\r\n"
                    "Height=502\r\nLeft=197\r\nTop=103\r\nPanel=254\r\n\r\n"
                    "[Plugins]\r\nSpell=on\r\n"
                    "[Text]\r\nWidth=596\r\nHeight=293\r\nLeft=192\r\nTop=-20\r\n");
    EXPECT_EQ(Fields(ReadSettings(path)), Fields(s));
    WriteSettings(path, s);
    EXPECT_EQ(kv::ReadWholeFile(path), once);
}

TEST(Settings, AFailedWriteSaysSoAndLeavesTheOldFile) {
    kvtest::TempDir folder;
    const std::string path = folder.Path("k.ini");
    kvtest::WriteBytes(path, "[Options]\nWidth=800\n");
    kv::SetReplaceFaultHook([](kv::ReplaceStep step) { return step == kv::ReplaceStep::Write; });
    EXPECT_EQ(kvtest::ErrorOf([&] { WriteSettings(path, Settings{}); }),
              "Unable to write to " + path);
    kv::SetReplaceFaultHook(nullptr);
    EXPECT_EQ(kv::ReadWholeFile(path), "[Options]\nWidth=800\n");

    // A folder in the file's place: read as the defaults, never replaced.
    const std::string inTheWay = folder.Path("dir.ini");
    std::filesystem::create_directory(inTheWay);
    EXPECT_EQ(Fields(ReadSettings(inTheWay)), Fields(Settings{}));
    EXPECT_THROW(WriteSettings(inTheWay, Settings{}), kv::Error);
    EXPECT_TRUE(std::filesystem::is_directory(inTheWay));
}

} // namespace
