// korvanthiel-cli: compiles, converts, checks and recovers dialog projects without the desktop
// window, for build scripts and Makefiles. Exit status 0 on success, 1 when the work fails
// (nothing is written), 2 on wrong usage.
#include "cli/commands.h"
#include "erm/splice.h"
#include "project/ini_import.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"
#include "text/ascii.h"
#include "text/error.h"
#include "text/paths.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace {

using kv::cli::ReadAnyProject;
using kv::cli::Usage;

constexpr const char* kVersion = "0.3";

constexpr const char* kUsage = "Usage:\n"
                               "  korvanthiel-cli compile PROJECT [--script SCRIPT]\n"
                               "  korvanthiel-cli convert INPUT OUTPUT\n"
                               "  korvanthiel-cli check PROJECT [--script SCRIPT] [--werror]\n"
                               "  korvanthiel-cli recover SCRIPT PROJECT\n"
                               "  korvanthiel-cli graph PROJECT [--format dot|svg] [-o FILE]\n"
                               "  korvanthiel-cli --help | --version\n";

constexpr const char* kHelp =
    "Compiles and converts Korvanthiel dialog projects.\n"
    "\n"
    "  compile PROJECT [--script SCRIPT]\n"
    "      Writes the ERM code of every dialog into SCRIPT (default: the project's own script\n"
    "      file) below the marker line, keeping the text above it. The project's own script\n"
    "      path, when relative, is taken from the project file's folder. SOURCE_DATE_EPOCH,\n"
    "      when set, gives the date and time of the warning line.\n"
    "  convert INPUT OUTPUT\n"
    "      Writes INPUT as a .tlk project file, exactly as the editor saves it.\n"
    "  check PROJECT [--script SCRIPT] [--werror]\n"
    "      Prints the problems of the project, one a line, and a line with their counts. Exit\n"
    "      status 0 without errors (warnings allowed), 1 with errors; --werror counts warnings\n"
    "      as errors. The script is found as compile finds it.\n"
    "  recover SCRIPT PROJECT\n"
    "      Rebuilds the project from the generated code of a compiled SCRIPT and writes it as\n"
    "      the .tlk project file PROJECT; prints, one line each, what could not be recovered.\n"
    "  graph PROJECT [--format dot|svg] [-o FILE]\n"
    "      Writes the dialogs and where their answers lead as a Graphviz graph: dot text\n"
    "      (default; nodes named by function number, one edge per answer labelled with its\n"
    "      number) or an SVG picture, on stdout or into FILE.\n"
    "\n"
    "PROJECT and INPUT are read as an INI project when the name ends in .ini, otherwise as a\n"
    ".tlk project file. Exit status: 0 success, 1 failure (nothing written), 2 wrong usage.\n";

// The moment of the warning line: SOURCE_DATE_EPOCH when set, so that a build that compiles the
// same project twice writes the same script; a value that is no number of seconds is refused
// rather than quietly replaced by the clock.
std::string Stamp() {
    std::time_t moment = std::time(nullptr);
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char* end = nullptr;
        errno = 0;
        long long value = std::strtoll(epoch, &end, 10);
        if (errno != 0 || !end || *end != '\0' || value < 0) {
            throw kv::Error(std::string("SOURCE_DATE_EPOCH is not a number of seconds: ") + epoch);
        }
        moment = static_cast<std::time_t>(value);
    }
    return kv::FormatStamp(moment);
}

int Convert(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage();
    kv::Project project = ReadAnyProject(args[0]);
    kv::SaveProject(project, args[1]);
    std::cout << "Wrote " << args[1] << ": " << project.DialogCount() << " dialogs\n";
    return 0;
}

int Compile(const std::vector<std::string>& args) {
    std::string projectPath;
    std::string script;
    bool haveScript = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--script") {
            if (i + 1 >= args.size() || haveScript) return Usage();
            script = args[++i];
            haveScript = true;
        } else if (projectPath.empty() && !args[i].empty() && args[i][0] != '-') {
            projectPath = args[i];
        } else {
            return Usage();
        }
    }
    if (projectPath.empty()) return Usage();

    kv::Project project = ReadAnyProject(projectPath);
    // A path given on the command line is the caller's and is taken as it stands, from the
    // current folder.
    if (!haveScript) script = kv::ProjectScriptPath(project, projectPath);
    const std::string stamp = Stamp();
    kv::CompileResult result;
    try {
        result = kv::CompileScript(project, script, stamp);
    } catch (const kv::ScriptNotFound& e) {
        // The window's message names no file; on a command line the path is what helps.
        throw kv::Error(std::string(e.what()) + " " +
                        (script.empty() ? std::string("(no script file given)") : script));
    }
    std::cout << "Compiled " << result.dialogs << " dialogs into " << script << " (" << result.bytes
              << " bytes)\n";
    return 0;
}

} // namespace

namespace kv::cli {

int Usage() {
    std::cerr << kUsage;
    return 2;
}

Project ReadAnyProject(const std::string& path) {
    return kv::EndsWithNoCase(path, ".ini") ? ImportIniFile(path) : LoadProject(path);
}

} // namespace kv::cli

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    const std::string command = args.front();
    args.erase(args.begin());
    try {
        if (command == "--help" || command == "-h") {
            std::cout << kHelp << "\n" << kUsage;
            return 0;
        }
        if (command == "--version") {
            std::cout << "korvanthiel-cli " << kVersion << "\n";
            return 0;
        }
        if (command == "convert") return Convert(args);
        if (command == "compile") return Compile(args);
        if (command == "check") return kv::cli::Check(args);
        if (command == "recover") return kv::cli::Recover(args);
        if (command == "graph") return kv::cli::Graph(args);
        return Usage();
    } catch (const kv::Error& e) {
        std::cerr << "korvanthiel-cli: " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "korvanthiel-cli: " << e.what() << "\n";
        return 1;
    }
}
