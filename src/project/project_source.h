#pragma once

#include "model/project.h"

#include <string>

namespace kv {

// The two kinds of file a project is read from, told apart by the file's name alone.
enum class ProjectFormat {
    ProjectFile, // .tlk, and any other name
    Ini,         // an INI project, imported: the name ends in ".ini", in any case
};

ProjectFormat ProjectFormatOf(const std::string& path);

// Reads the project at path (UTF-8) by its format: LoadProject or ImportIniFile.
Project ReadAnyProject(const std::string& path);

// The script file a project compiles into, as a UTF-8 path: the project's own ScriptFile, which
// when relative belongs to the project and is taken from the folder of projectPath (the project
// file as the caller named it; empty for a project without a file, which leaves a relative path
// as it is). Empty when the project names no script.
std::string ProjectScriptPath(const Project& project, const std::string& projectPath);

} // namespace kv
