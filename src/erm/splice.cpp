#include "erm/splice.h"

#include "erm/generator.h"
#include "text/cp1251.h"
#include "text/file_io.h"
#include "text/paths.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace kv {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kWarningText =
    " Warning - do not touch \"Korvanthiel data begin\" string!";

// Room for the generated code of a typical dialog; the text grows past it when it must.
constexpr std::size_t kTypicalBlockSize = 512;

[[noreturn]] void ThrowCannotOpen(const std::string& path, int errorNumber) {
    throw Error("Cannot open file \"" + path + "\". " + FileErrorText(errorNumber));
}

// A file whose permission bits let nobody write is read-only for this program, also when the
// system would let an administrator write it anyway, just as a read-only file is on Windows.
bool MarkedReadOnly(const fs::path& path) {
    std::error_code ec;
    const fs::perms perms = fs::status(path, ec).permissions();
    if (ec) return false;
    constexpr fs::perms anyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (perms & anyWrite) == fs::perms::none;
}

// Reads the script through a handle opened for reading and writing, so that a file the compile
// could not write back (read-only, locked) is refused before anything is built.
std::string ReadScriptForUpdate(const std::string& path) {
    const fs::path file = PathFromUtf8(path);
    if (MarkedReadOnly(file)) ThrowCannotOpen(path, EACCES);
    errno = 0;
    std::fstream in(file, std::ios::in | std::ios::out | std::ios::binary);
    if (!in) ThrowCannotOpen(path, errno ? errno : EACCES);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    std::string content(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0 && !in.read(content.data(), size)) ThrowCannotOpen(path, errno ? errno : EIO);
    return content;
}

} // namespace

ScriptNotFound::ScriptNotFound() : Error("Не найден выходной файл!") {}

std::size_t FindMarker(std::string_view script) {
    // The marker must open a line, so one on the file's very first line is not found and stays
    // part of the user's text.
    static const std::string marker = '\n' + std::string(kMarkerLine);
    return script.find(marker);
}

std::string ProjectScriptPath(const Project& project, const std::string& projectPath) {
    // The project stores its script path in Windows-1251.
    const std::string script = Cp1251ToUtf8(project.ScriptFile);
    const fs::path scriptPath = PathFromUtf8(script);
    if (script.empty() || !scriptPath.is_relative()) return script;
    return Utf8FromPath(PathFromUtf8(projectPath).parent_path() / scriptPath);
}

std::string SpliceScript(std::string_view oldScript, const Project& project,
                         std::string_view stamp) {
    std::string marker;
    marker.reserve(kMarkerLine.size() + 1);
    marker.push_back('\n');
    marker.append(kMarkerLine);

    // Everything above the first marker is the user's.
    const std::size_t cut = FindMarker(oldScript);
    const std::string_view kept =
        cut == std::string_view::npos ? oldScript : oldScript.substr(0, cut);

    std::string script;
    script.reserve(kept.size() + marker.size() + stamp.size() + kWarningText.size() + 4 +
                   static_cast<std::size_t>(project.DialogCount()) * kTypicalBlockSize);
    script.append(kept);
    script.append(marker);
    script.append("\n;");
    script.append(stamp);
    script.append(kWarningText);
    for (const TDialogItem* dialog = project.Dialogs(); dialog; dialog = dialog->Next) {
        AppendDialogCode(script, *dialog);
    }
    script.append("\r\n");
    return script;
}

CompileResult CompileScript(const Project& project, const std::string& scriptPath,
                            std::string_view stamp) {
    if (!FileExists(scriptPath)) throw ScriptNotFound();
    const std::string oldScript = ReadScriptForUpdate(scriptPath);
    const std::string newScript = SpliceScript(oldScript, project, stamp);
    try {
        ReplaceFileSafely(scriptPath, newScript);
    } catch (const Error& e) {
        throw Error("Cannot write file \"" + scriptPath + "\". " + e.what());
    }
    return CompileResult{project.DialogCount(), newScript.size()};
}

std::string FormatStamp(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    char buffer[32];
    const std::size_t size = std::strftime(buffer, sizeof buffer, "%d.%m.%Y %H:%M:%S", &local);
    return std::string(buffer, size);
}

} // namespace kv
