#pragma once

#include "model/project.h"
#include "text/error.h"

#include <string>
#include <string_view>

namespace kv {

// The project file (.tlk): a positional text file, one value a line, CR LF line ends; two
// project lines, then 336 lines per dialog in list order.

// The exact bytes that a save writes for the project.
std::string SerializeProject(const Project& project);

// Bytes that cannot be read as a project: the user's text ("Invalid numeric input") and the line
// of the file it is about (0 for the file as a whole).
class ProjectFileError : public Error {
public:
    explicit ProjectFileError(const std::string& text, std::int64_t line = 0);
    std::int64_t line() const { return line_; }

private:
    std::int64_t line_;
};

// Reads project-file bytes into a new project (FunctionStart, ScriptFile, the dialogs, the
// rebuilt links; Modified false, ProjectFileName empty). Throws ProjectFileError for a number
// line that holds no number, and for more than kMaxDialogs dialogs. The dialogs are read in
// `parts` side by side (0: one per processor for a large file, one for a small one); the result
// is the same for any number of parts.
Project ParseProject(std::string_view bytes, std::size_t parts = 0);

// Reads the file at path into a new project, so a failure never touches the caller's project.
// The new project's ProjectFileName is path. Throws Error with the user's text, naming the file
// and the line: "Cannot read file "a.tlk", line 17. Invalid numeric input".
Project LoadProject(const std::string& path);

// Writes the project to path safely (temporary file, then put in place) and clears Modified.
// On failure throws Error, leaves the old file byte for byte and leaves Modified as it was.
void SaveProject(Project& project, const std::string& path);

} // namespace kv
