// korvanthiel-cli: compiles, converts, checks and recovers dialog projects without the desktop
// window, for build scripts and Makefiles. Exit status 0 on success, 1 when the work fails
// (nothing is written), 2 on wrong usage.
#include "cli/arguments.h"
#include "cli/commands.h"
#include "erm/splice.h"
#include "korvanthiel_version.h"
#include "project/ini_import.h"
#include "project/tlk_file.h"
#include "text/ascii.h"
#include "text/error.h"
#include "text/file_io.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

using kv::ReadAnyProject;
using kv::cli::Usage;

constexpr const char* kUsage = "Usage:\n"
                               "  korvanthiel-cli compile PROJECT [--script SCRIPT]\n"
                               "  korvanthiel-cli convert INPUT OUTPUT\n"
                               "  korvanthiel-cli check PROJECT [--script SCRIPT] [--werror]\n"
                               "  korvanthiel-cli play PROJECT [--start N] [--choose K,...] "
                               "[--set NAME=VALUE ...] [--json] [--assume-hidden]\n"
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
    "  play PROJECT [--start N] [--choose K,...] [--set NAME=VALUE ...] [--json]\n"
    "       [--assume-hidden]\n"
    "      Plays dialogs as the game runs their code, from dialog N (default: the first),\n"
    "      choosing answers K in turn. --set gives the hero wood, mercury, ore, sulfur,\n"
    "      crystal, gems, gold, mithril, skillN (level 0-3) or vN. A hiding condition the\n"
    "      player cannot read shows its answer, or hides it with --assume-hidden. Prints a\n"
    "      transcript, or one JSON object a line per step; exit status 1 when a choice\n"
    "      could not be made.\n"
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
// same project twice writes the same script; a value that is no number of seconds, or one that
// gives no date of four-digit year, is refused rather than quietly replaced by the clock.
std::string Stamp() {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch || !*epoch) return kv::FormatStamp(std::time(nullptr));
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(epoch, &end, 10);
    if (errno != 0 || !end || *end != '\0' || value < 0) {
        throw kv::Error(std::string("SOURCE_DATE_EPOCH is not a number of seconds: ") + epoch);
    }
    try {
        return kv::FormatStamp(static_cast<std::time_t>(value));
    } catch (const kv::Error&) {
        throw kv::Error(std::string("SOURCE_DATE_EPOCH is out of range: ") + epoch);
    }
}

int Convert(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage();
    kv::Project project = ReadAnyProject(args[0]);
    kv::SaveProject(project, args[1]);
    std::cout << "Wrote " << args[1] << ": " << project.DialogCount() << " dialogs\n";
    return 0;
}

int Compile(const std::vector<std::string>& args) {
    const std::optional<kv::cli::ProjectArgs> parsed = kv::cli::ParseProjectArgs(args);
    if (!parsed) return Usage();
    const std::string& projectPath = parsed->project;
    std::string script = parsed->script;
    const bool haveScript = parsed->haveScript;

    kv::Project project = ReadAnyProject(projectPath);
    // A path given on the command line is the caller's and is taken as it stands, from the
    // current folder.
    if (!haveScript) script = kv::ProjectScriptPath(project, projectPath);
    kv::RefuseProjectAsScript(projectPath, script); // an INI project has no file name of its own
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

std::optional<ProjectArgs> ParseProjectArgs(const std::vector<std::string>& args,
                                            std::string_view flag) {
    ProjectArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--script") {
            if (i + 1 >= args.size() || parsed.haveScript) return std::nullopt;
            parsed.script = args[++i];
            parsed.haveScript = true;
        } else if (!flag.empty() && args[i] == flag) {
            parsed.flag = true;
        } else if (parsed.project.empty() && !args[i].empty() && args[i][0] != '-') {
            parsed.project = args[i];
        } else {
            return std::nullopt;
        }
    }
    if (parsed.project.empty()) return std::nullopt;
    return parsed;
}

int Usage() {
    std::cerr << kUsage;
    return 2;
}

} // namespace kv::cli

int main(int argc, char** argv) {
    // An interrupted save or compile takes its temporary file with it.
    kv::RemoveTemporaryFileOnSignals();
    std::vector<std::string> args = kv::cli::Utf8Arguments(argc, argv);
    if (args.empty()) return Usage();
    const std::string command = args.front();
    args.erase(args.begin());
    try {
        if (command == "--help" || command == "-h") {
            std::cout << kHelp << "\n" << kUsage;
            return 0;
        }
        if (command == "--version") {
            std::cout << "korvanthiel-cli " << kv::kVersion << "\n";
            return 0;
        }
        if (command == "convert") return Convert(args);
        if (command == "compile") return Compile(args);
        if (command == "check") return kv::cli::Check(args);
        if (command == "play") return kv::cli::Play(args);
        if (command == "recover") return kv::cli::Recover(args);
        if (command == "graph") return kv::cli::Graph(args);
        return Usage();
    } catch (const kv::Error& e) {
        std::cerr << "korvanthiel-cli: " << e.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        std::cerr << "korvanthiel-cli: Out of memory\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "korvanthiel-cli: " << e.what() << "\n";
        return 1;
    }
}
