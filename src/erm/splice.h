#pragma once

#include "model/project.h"
#include "project/project_source.h" // ProjectScriptPath: where a compile writes
#include "text/error.h"

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace kv {

// The line that opens the generated region of a script, without its leading LF.
inline constexpr std::string_view kMarkerLine = ";Korvanthiel data begin>>>>>";
// The end of the line that follows the marker, after its date and time.
inline constexpr std::string_view kWarningText =
    " Warning - do not touch \"Korvanthiel data begin\" string!";

// Thrown when the script file does not exist (an empty path counts as missing); the message is
// "Не найден выходной файл!" and a window shows it with the caption "Ошибка".
class ScriptNotFound : public Error {
public:
    ScriptNotFound();
};

struct CompileResult {
    int dialogs = 0;
    std::size_t bytes = 0; // size of the script after the compile
};

// Where the generated region of a script begins: the position of the LF that opens the first
// marker line, or npos when the script has none yet. Everything before it is the user's own text.
std::size_t FindMarker(std::string_view script);

// The new content of a script: the kept text above the marker, the marker, the warning line
// with `stamp` (the local date and time, as the user's formats give them), every dialog's block
// and CR LF.
std::string SpliceScript(std::string_view oldScript, const Project& project,
                         std::string_view stamp);

// Refuses a script that is the project's own file, also through another path or a link: the
// compile would write ERM code over the project. Throws Error naming the file.
void RefuseProjectAsScript(const std::string& projectPath, const std::string& scriptPath);

// Compiles the project into the script at scriptPath: reads it, builds the new content in memory
// and replaces the file safely, unless the script changed in the meantime (then it is spliced
// again from its new text, once). Throws ScriptNotFound, or Error naming the file; on any failure
// the script is left byte for byte as it was (or as another program last saved it). Changes
// nothing in the project.
CompileResult CompileScript(const Project& project, const std::string& scriptPath,
                            std::string_view stamp);

// "dd.mm.yyyy hh:mm:ss" in local time: the stamp for callers without the user's formats. A
// moment outside the years 1 to 9999 throws Error.
std::string FormatStamp(std::time_t moment);

} // namespace kv
