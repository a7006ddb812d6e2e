#pragma once

#include "model/project.h"
#include "project/project_source.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::cli {

// Prints the usage lines on stderr; returns 2, the exit status of wrong usage.
int Usage();

// The arguments `PROJECT [--script SCRIPT]` of compile and check, with the one flag a command may
// add (empty for none). Empty on wrong usage.
struct ProjectArgs {
    std::string project;
    std::string script; // empty when not given
    bool haveScript = false;
    bool flag = false;
};
std::optional<ProjectArgs> ParseProjectArgs(const std::vector<std::string>& args,
                                            std::string_view flag = {});

// The subcommands; each takes the arguments after its name and returns the exit status.
int Check(const std::vector<std::string>& args);
// `recover SCRIPT PROJECT`: writes the project recovered from a compiled script and prints, one
// line each, what could not be recovered; throws kv::Error on a failure.
int Recover(const std::vector<std::string>& args);
// `graph PROJECT [--format dot|svg] [-o FILE]`: the dialogs and where their answers lead, on
// stdout or into FILE; throws kv::Error on a failure.
int Graph(const std::vector<std::string>& args);

// `play PROJECT [--start N] [--choose K,...] [--set NAME=VALUE ...] [--json] [--assume-hidden]`:
// plays dialogs as the game would run them; 1 when a choice could not be made.
int Play(const std::vector<std::string>& args);

} // namespace kv::cli
