#include "cli/recover.h"

#include "erm/recovery.h"
#include "project/tlk_file.h"

#include <iostream>

namespace {

bool EndsWithTlk(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return tail == ".tlk";
}

} // namespace

int RecoverCommand(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0].empty() || args[0][0] == '-' || args[1].empty() ||
        args[1][0] == '-') {
        return 2;
    }
    if (!EndsWithTlk(args[1])) {
        std::cerr << "korvanthiel-cli: the recovered project is written as a .tlk project file; "
                     "give PROJECT the .tlk extension\n";
        return 2;
    }
    kv::RecoveredProject recovered = kv::RecoverScriptFile(args[0]);
    kv::SaveProject(recovered.project, args[1]);
    for (const kv::RecoveryNote& note : recovered.notes)
        std::cout << args[0] << ':' << note.line << ": " << note.text << '\n';
    std::cout << "Recovered " << recovered.project.DialogCount() << " dialogs into " << args[1]
              << '\n';
    return 0;
}
