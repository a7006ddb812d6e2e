#include "project/project_source.h"

#include "project/ini_import.h"
#include "project/tlk_file.h"
#include "text/ascii.h"
#include "text/cp1251.h"
#include "text/paths.h"

#include <filesystem>

namespace kv {

ProjectFormat ProjectFormatOf(const std::string& path) {
    return EndsWithNoCase(path, ".ini") ? ProjectFormat::Ini : ProjectFormat::ProjectFile;
}

Project ReadAnyProject(const std::string& path) {
    return ProjectFormatOf(path) == ProjectFormat::Ini ? ImportIniFile(path) : LoadProject(path);
}

std::string ProjectScriptPath(const Project& project, const std::string& projectPath) {
    // The project stores its script path in Windows-1251.
    const std::string script = Cp1251ToUtf8(project.ScriptFile);
    const std::filesystem::path scriptPath = PathFromUtf8(script);
    if (script.empty() || !scriptPath.is_relative()) return script;
    return Utf8FromPath(PathFromUtf8(projectPath).parent_path() / scriptPath);
}

} // namespace kv
