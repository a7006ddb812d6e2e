#include "cli/commands.h"
#include "erm/recovery.h"
#include "project/tlk_file.h"
#include "text/ascii.h"

#include <iostream>

namespace kv::cli {

int Recover(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0].empty() || args[0][0] == '-' || args[1].empty() ||
        args[1][0] == '-') {
        return Usage();
    }
    if (!EndsWithNoCase(args[1], ".tlk")) {
        std::cerr << "korvanthiel-cli: the recovered project is written as a .tlk project file; "
                     "give PROJECT the .tlk extension\n";
        return Usage();
    }
    kv::RecoveredProject recovered = kv::RecoverScriptFile(args[0]);
    kv::SaveProject(recovered.project, args[1]);
    for (const kv::RecoveryNote& note : recovered.notes)
        std::cout << args[0] << ':' << note.line << ": " << note.text << '\n';
    std::cout << "Recovered " << recovered.project.DialogCount() << " dialogs into " << args[1]
              << '\n';
    return 0;
}

} // namespace kv::cli
