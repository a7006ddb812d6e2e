#include "erm/splice.h"

#include "erm/generator.h"
#include "text/cp1251.h"
#include "text/file_io.h"
#include "text/paths.h"

#include <filesystem>
#include <system_error>

namespace kv {

namespace {

// Room for the generated code of a typical dialog; the text grows past it when it must.
constexpr std::size_t kTypicalBlockSize = 512;

} // namespace

ScriptNotFound::ScriptNotFound() : Error("Не найден выходной файл!") {}

std::size_t FindMarker(std::string_view script) {
    // The marker must open a line, so one on the file's very first line is not found and stays
    // part of the user's text.
    static const std::string marker = '\n' + std::string(kMarkerLine);
    return script.find(marker);
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

void RefuseProjectAsScript(const std::string& projectPath, const std::string& scriptPath) {
    if (SameFile(projectPath, scriptPath)) {
        throw Error("Файл скрипта не может быть файлом проекта: \"" + scriptPath + "\"");
    }
}

CompileResult CompileScript(const Project& project, const std::string& scriptPath,
                            std::string_view stamp) {
    // A folder is no script either; a pipe or a device is there, and is refused when it is read.
    std::error_code ec;
    if (!PathExists(scriptPath) ||
        std::filesystem::is_directory(PathFromUtf8(scriptPath), ec)) {
        throw ScriptNotFound();
    }
    RefuseProjectAsScript(project.ProjectFileName, scriptPath);
    std::string oldScript = ReadWholeFile(scriptPath, ReadFor::Replacing);
    // The author may save the script in his own editor while it is compiled. The new script is
    // put in place only over the text it was built from: a script changed meanwhile is spliced
    // again from its new text, once, and if it changes again it is left as the author saved it.
    for (int attempt = 1;; ++attempt) {
        const std::string newScript = SpliceScript(oldScript, project, stamp);
        std::string current;
        const bool written = ReplaceFileSafely(scriptPath, newScript, [&] {
            current = ReadWholeFile(scriptPath);
            return current == oldScript;
        });
        if (written) return CompileResult{project.DialogCount(), newScript.size()};
        if (attempt == 2) {
            throw Error(CannotWriteText(scriptPath, "Another program changed the file while it "
                                                    "was compiled; it is left as that program "
                                                    "saved it"));
        }
        oldScript = std::move(current);
    }
}

std::string FormatStamp(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    const bool converted = localtime_s(&local, &moment) == 0;
#else
    const bool converted = localtime_r(&moment, &local) != nullptr;
#endif
    // The stamp has room for a year of four digits.
    if (!converted || local.tm_year < 1 - 1900 || local.tm_year > 9999 - 1900) {
        throw Error("The date is out of range");
    }
    char buffer[32];
    const std::size_t size = std::strftime(buffer, sizeof buffer, "%d.%m.%Y %H:%M:%S", &local);
    return std::string(buffer, size);
}

} // namespace kv
