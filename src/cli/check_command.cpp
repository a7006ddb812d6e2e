// `check`: the problems of a project, as the game would meet them, printed for a build script or
// an editor's error list to read. One problem a line:
//   FILE: функция N[, вариант K]: ошибка|предупреждение: message
// where FILE is the project (the script file for a problem of the script), then the counts.
#include "check/check_project.h"
#include "cli/commands.h"
#include "erm/splice.h"

#include <iostream>

namespace kv::cli {

namespace {

void Print(const Problem& problem, const std::string& projectPath, const ScriptFacts& script) {
    std::cout << (problem.dialog < 0 && !script.path.empty() ? script.path : projectPath) << ": ";
    if (problem.dialog >= 0) {
        std::cout << "функция " << problem.function;
        if (problem.answer > 0) std::cout << ", вариант " << problem.answer;
        std::cout << ": ";
    }
    std::cout << (problem.severity == Severity::Error ? "ошибка" : "предупреждение") << ": "
              << problem.message << "\n";
}

} // namespace

int Check(const std::vector<std::string>& args) {
    const std::optional<ProjectArgs> parsed = ParseProjectArgs(args, "--werror");
    if (!parsed) return Usage();
    const std::string& projectPath = parsed->project;
    std::string script = parsed->script;
    const bool warningsAreErrors = parsed->flag;
    const Project project = ReadAnyProject(projectPath);
    if (!parsed->haveScript) script = ProjectScriptPath(project, projectPath);
    const ScriptFacts facts = ReadScriptFacts(script);
    const std::vector<Problem> problems = CheckProject(project, facts);
    for (const Problem& problem : problems)
        Print(problem, projectPath, facts);

    const int errors = CountErrors(problems);
    const int warnings = static_cast<int>(problems.size()) - errors;
    std::cout << "Итого: ошибок " << errors << ", предупреждений " << warnings << "\n";
    return errors > 0 || (warningsAreErrors && warnings > 0) ? 1 : 0;
}

} // namespace kv::cli
