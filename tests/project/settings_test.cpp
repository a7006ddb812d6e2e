#include "project/settings.h"
#include "scratch_folder.h"
#include "text/error.h"
#include "text/file_io.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kv::ReadSettings;
using kv::Settings;
using kv::WriteSettings;

void ExpectSame(const Settings& a, const Settings& b) {
    EXPECT_EQ(a.Maps, b.Maps);
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);
    EXPECT_EQ(a.Left, b.Left);
    EXPECT_EQ(a.Top, b.Top);
    EXPECT_EQ(a.Panel, b.Panel);
    EXPECT_EQ(a.TextWidth, b.TextWidth);
    EXPECT_EQ(a.TextHeight, b.TextHeight);
    EXPECT_EQ(a.TextLeft, b.TextLeft);
    EXPECT_EQ(a.TextTop, b.TextTop);
}

const char* const kFirstWrite = "[Options]\r\n"
                                "Maps=C:\\Games\\Valdmarsk\\Maps\\\r\n"
                                "Width=722\r\n"
                                "Height=502\r\n"
                                "Left=197\r\n"
                                "Top=103\r\n"
                                "Panel=254\r\n"
                                "[Text]\r\n"
                                "Width=596\r\n"
                                "Height=293\r\n"
                                "Left=192\r\n"
                                "Top=103\r\n";

TEST(Settings, AMissingFileGivesTheDefaultsAndCreatesNothing) {
    ScratchFolder folder;
    Settings custom;
    custom.Maps = "D:\\maps\\";
    custom.Panel = 300;
    ExpectSame(ReadSettings(folder.Path("korvanthiel.ini"), custom), custom);
    ExpectSame(ReadSettings(folder.Path("korvanthiel.ini")), Settings{});
    EXPECT_EQ(folder.EntryCount(), 0);
}

TEST(Settings, TheFirstWriteHasBothSectionsAndAllTenKeys) {
    ScratchFolder folder;
    const std::string path = folder.Path("korvanthiel.ini");
    WriteSettings(path, Settings{});
    EXPECT_EQ(kv::ReadWholeFile(path), kFirstWrite);
}

TEST(Settings, EachValueComesFromItsOwnKey) {
    ScratchFolder folder;
    const std::string path = folder.Put("korvanthiel.ini", "[text]\n"
                                                           "top=4\nleft=3\nheight=2\nwidth=1\n"
                                                           "[OPTIONS]\n"
                                                           "panel=15\ntop=14\nleft=13\n"
                                                           "height=12\nwidth=11\n"
                                                           "maps=\"E:\\heroes\\maps\\\"\n");
    Settings s = ReadSettings(path);
    EXPECT_EQ(s.Maps, "E:\\heroes\\maps\\");
    EXPECT_EQ(s.Width, 11);
    EXPECT_EQ(s.Height, 12);
    EXPECT_EQ(s.Left, 13);
    EXPECT_EQ(s.Top, 14);
    EXPECT_EQ(s.Panel, 15);
    EXPECT_EQ(s.TextWidth, 1);
    EXPECT_EQ(s.TextHeight, 2);
    EXPECT_EQ(s.TextLeft, 3);
    EXPECT_EQ(s.TextTop, 4);
}

TEST(Settings, UnreadableValuesKeepTheDefaultAndOddOnesAreNotJudgedHere) {
    ScratchFolder folder;
    const std::string path = folder.Put("korvanthiel.ini", "[Options]\nWidth=wide\nHeight=\n"
                                                           "Left=-5000\nPanel=0\nMaps=\n");
    Settings s = ReadSettings(path);
    EXPECT_EQ(s.Width, 722);
    EXPECT_EQ(s.Height, 502);
    EXPECT_EQ(s.Left, -5000);
    EXPECT_EQ(s.Panel, 0); // the window keeps the panel at least 10 wide
    EXPECT_EQ(s.Maps, "");
}

TEST(Settings, WritingKeepsForeignLinesAndChangesOnlyItsKeys) {
    ScratchFolder folder;
    const std::string path = folder.Put("korvanthiel.ini", "; written by hand\n"
                                                           "[Options]\n"
                                                           "Width=800\n"
                                                           "Recent=C:\\last.tlk\n"
                                                           "\n"
                                                           "[Plugins]\n"
                                                           "Spell=on\n");
    Settings s;
    s.Maps = "\xCA\xE0\xF0\xF2\xFB\\ "; // Cyrillic, with a blank at the end
    s.Width = 1024;
    s.TextTop = -20;
    WriteSettings(path, s);
    EXPECT_EQ(kv::ReadWholeFile(path), "; written by hand\r\n"
                                       "[Options]\r\n"
                                       "Width=1024\r\n"
                                       "Recent=C:\\last.tlk\r\n"
                                       "Maps=\"\xCA\xE0\xF0\xF2\xFB\\ \"\r\n"
                                       "Height=502\r\n"
                                       "Left=197\r\n"
                                       "Top=103\r\n"
                                       "Panel=254\r\n"
                                       "\r\n"
                                       "[Plugins]\r\n"
                                       "Spell=on\r\n"
                                       "[Text]\r\n"
                                       "Width=596\r\n"
                                       "Height=293\r\n"
                                       "Left=192\r\n"
                                       "Top=-20\r\n");
    ExpectSame(ReadSettings(path), s);

    // A second write with the same values changes nothing.
    const std::string once = kv::ReadWholeFile(path);
    WriteSettings(path, s);
    EXPECT_EQ(kv::ReadWholeFile(path), once);
}

TEST(Settings, AFailedWriteSaysSoAndLeavesTheOldFile) {
    ScratchFolder folder;
    const std::string path = folder.Put("korvanthiel.ini", "[Options]\nWidth=800\n");
    kv::SetReplaceFaultHook([](kv::ReplaceStep step) { return step == kv::ReplaceStep::Write; });
    try {
        WriteSettings(path, Settings{});
        ADD_FAILURE() << "the write passed";
    } catch (const kv::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    kv::SetReplaceFaultHook(nullptr);
    EXPECT_EQ(kv::ReadWholeFile(path), "[Options]\nWidth=800\n");

    // A folder where the file should be can be neither read nor replaced.
    const std::string folderPath = folder.Path("dir.ini");
    std::filesystem::create_directory(folderPath);
    ExpectSame(ReadSettings(folderPath), Settings{});
    EXPECT_THROW(WriteSettings(folderPath, Settings{}), kv::Error);
    EXPECT_TRUE(std::filesystem::is_directory(folderPath));
}

} // namespace
