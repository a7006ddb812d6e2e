#include "project/ini_file.h"
#include "scratch_folder.h"
#include "text/error.h"
#include "text/file_io.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kv::IniFile;

const char* const kForeignFile = "; settings of the editor\n"
                                 "[Options]\n"
                                 "Maps=D:\\maps\\\n"
                                 "  width = 700\n"
                                 "Recent=C:\\a.tlk\n"
                                 "\n"
                                 "; the text window\n"
                                 "[Text]\n"
                                 "Top=5\n"
                                 "stray line\n"
                                 "[Plugins]\n"
                                 "Spell=on";

TEST(IniFileWrite, ChangesAnExistingKeyInPlaceAndKeepsEveryOtherLine) {
    IniFile ini = IniFile::Parse(kForeignFile);
    ini.WriteInteger("OPTIONS", "Width", 722);
    ini.WriteString("text", "top", "103");
    // The key keeps the spelling it has in the file; the line ends become CR LF.
    EXPECT_EQ(ini.Serialize(), "; settings of the editor\r\n"
                               "[Options]\r\n"
                               "Maps=D:\\maps\\\r\n"
                               "width=722\r\n"
                               "Recent=C:\\a.tlk\r\n"
                               "\r\n"
                               "; the text window\r\n"
                               "[Text]\r\n"
                               "Top=103\r\n"
                               "stray line\r\n"
                               "[Plugins]\r\n"
                               "Spell=on\r\n");
}

TEST(IniFileWrite, AddsAMissingKeyAfterTheLastKeyOfItsSectionAndAMissingSectionAtTheEnd) {
    IniFile ini = IniFile::Parse(kForeignFile);
    ini.WriteInteger("Options", "Panel", 254);
    ini.WriteInteger("Text", "Left", 192);
    ini.WriteString("Window", "State", "normal");
    EXPECT_EQ(ini.Serialize(), "; settings of the editor\r\n"
                               "[Options]\r\n"
                               "Maps=D:\\maps\\\r\n"
                               "  width = 700\r\n"
                               "Recent=C:\\a.tlk\r\n"
                               "Panel=254\r\n"
                               "\r\n"
                               "; the text window\r\n"
                               "[Text]\r\n"
                               "Top=5\r\n"
                               "Left=192\r\n"
                               "stray line\r\n"
                               "[Plugins]\r\n"
                               "Spell=on\r\n"
                               "[Window]\r\n"
                               "State=normal\r\n");
    EXPECT_EQ(ini.ReadInteger("options", "panel", 0), 254);
    EXPECT_EQ(ini.ReadString("window", "state", ""), "normal");
}

TEST(IniFileWrite, KeyGoesRightAfterTheHeaderOfASectionWithoutKeysAndIntoAnEmptyFile) {
    IniFile ini = IniFile::Parse("[Empty]\n\n[Other]\nk=1\n");
    ini.WriteString("Empty", "k", "2");
    EXPECT_EQ(ini.Serialize(), "[Empty]\r\nk=2\r\n\r\n[Other]\r\nk=1\r\n");

    IniFile blank;
    blank.WriteString("S", "k", "v");
    EXPECT_EQ(blank.Serialize(), "[S]\r\nk=v\r\n");
}

TEST(IniFileWrite, WritesTheFirstOccurrenceThatReadsSee) {
    IniFile ini = IniFile::Parse("[A]\nk=1\nk=2\n[a]\nk=3\n");
    ini.WriteString("A", "K", "9");
    EXPECT_EQ(ini.Serialize(), "[A]\r\nk=9\r\nk=2\r\n[a]\r\nk=3\r\n");
    EXPECT_EQ(ini.ReadString("a", "k", ""), "9");
}

TEST(IniFileWrite, EveryValueReadsBackAsWritten) {
    const std::string values[] = {"  padded  ", "\"quoted\"",           "'single'", "\"", "",
                                  "a=b",        "\xCA\xE0\xF0\xF2\xFB "};
    IniFile ini;
    int n = 0;
    for (const std::string& value : values)
        ini.WriteString("S", "k" + std::to_string(n++), value);
    IniFile reread = IniFile::Parse(ini.Serialize());
    n = 0;
    for (const std::string& value : values) {
        EXPECT_EQ(reread.ReadString("S", "k" + std::to_string(n++), "-"), value);
    }
}

TEST(IniFileWrite, ALineBreakInAValueCannotAddLines) {
    IniFile ini = IniFile::Parse("[S]\nk=1\n");
    ini.WriteString("S", "k", "C:\\maps\r\n[Injected]\nx=1");
    EXPECT_FALSE(ini.HasSection("Injected"));
    EXPECT_EQ(ini.Serialize(), "[S]\r\nk=C:\\maps  [Injected] x=1\r\n");
}

TEST(IniFileSave, WritesTheFileWithCrLf) {
    ScratchFolder folder;
    std::string path = folder.Put("s.ini", "[S]\nk=1\n");
    IniFile ini = IniFile::Load(path);
    ini.WriteInteger("S", "k", 2);
    ini.Save(path);
    EXPECT_EQ(kv::ReadWholeFile(path), "[S]\r\nk=2\r\n");
}

TEST(IniFileSave, AnUnwritablePlaceGivesUnableToWriteToAndLeavesTheOldFile) {
    ScratchFolder folder;
    IniFile ini = IniFile::Parse("[S]\nk=new\n");

    const std::string inMissingFolder = folder.Path("no/such/folder/s.ini");
    try {
        ini.Save(inMissingFolder);
        FAIL() << "saved into a missing folder";
    } catch (const kv::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + inMissingFolder);
    }

    const std::string aFolder = folder.Path("sub");
    std::filesystem::create_directory(aFolder);
    EXPECT_THROW(ini.Save(aFolder), kv::Error);
    EXPECT_TRUE(std::filesystem::is_directory(aFolder));

    const std::string old = folder.Put("old.ini", "[S]\nk=old\n");
    for (auto step : {kv::ReplaceStep::CreateTemporary, kv::ReplaceStep::Write,
                      kv::ReplaceStep::Flush, kv::ReplaceStep::PutInPlace}) {
        kv::SetReplaceFaultHook([step](kv::ReplaceStep now) { return now == step; });
        try {
            ini.Save(old);
            ADD_FAILURE() << "a failing step passed";
        } catch (const kv::Error& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + old);
        }
        kv::SetReplaceFaultHook(nullptr);
        EXPECT_EQ(kv::ReadWholeFile(old), "[S]\nk=old\n");
    }
    // Only old.ini and sub: no temporary file left behind.
    EXPECT_EQ(folder.EntryCount(), 2);
}

TEST(IniFileLoad, AMissingFileIsEmptyAndAFolderIsAnError) {
    ScratchFolder folder;
    EXPECT_FALSE(IniFile::Load(folder.Path("missing.ini")).HasSection("Options"));
    EXPECT_EQ(folder.EntryCount(), 0);
    EXPECT_THROW(IniFile::Load(folder.Path("")), kv::Error);
}

} // namespace
