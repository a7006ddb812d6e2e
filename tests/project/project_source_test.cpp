#include "project/project_source.h"

#include "text/paths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProjectSource, TheFormatComesFromTheNameAndTheScriptFromTheProjectsFolder) {
    for (const char* ini : {"a.ini", "A.INI", "dir.tlk/x.Ini"})
        EXPECT_EQ(kv::ProjectFormatOf(ini), kv::ProjectFormat::Ini) << ini;
    for (const char* tlk : {"a.tlk", "a.ini.tlk", "ini", "a.ini~", ""})
        EXPECT_EQ(kv::ProjectFormatOf(tlk), kv::ProjectFormat::ProjectFile) << tlk;

    kv::Project project;
    EXPECT_EQ(kv::ProjectScriptPath(project, "maps/q.tlk"), ""); // no script named
    project.ScriptFile = "quest.erm";
    const std::string beside = kv::Utf8FromPath(kv::PathFromUtf8("maps") / "quest.erm");
    EXPECT_EQ(kv::ProjectScriptPath(project, "maps/q.tlk"), beside);
    EXPECT_EQ(kv::ProjectScriptPath(project, ""), "quest.erm"); // a project without a file
#ifdef _WIN32
    const std::string absolute = "C:\\maps\\quest.erm";
#else
    const std::string absolute = "/maps/quest.erm";
#endif
    project.ScriptFile = absolute;
    EXPECT_EQ(kv::ProjectScriptPath(project, "other/q.tlk"), absolute);
    project.ScriptFile = "\xD1\xEA\xE0\xE7\xEA\xE0.erm"; // stored in Windows-1251, returned in UTF-8
    EXPECT_EQ(kv::ProjectScriptPath(project, "q.tlk"), "Сказка.erm");
}

} // namespace
