#pragma once

#include "model/project.h"

#include <string>
#include <vector>

namespace kv::cli {

// Prints the usage lines on stderr; returns 2, the exit status of wrong usage.
int Usage();

// A project file, or an INI project when the name ends in ".ini" (any case).
Project ReadAnyProject(const std::string& path);

// The subcommands; each takes the arguments after its name and returns the exit status.
int Check(const std::vector<std::string>& args);
// `recover SCRIPT PROJECT`: writes the project recovered from a compiled script and prints, one
// line each, what could not be recovered; throws kv::Error on a failure.
int Recover(const std::vector<std::string>& args);
// `graph PROJECT [--format dot|svg] [-o FILE]`: the dialogs and where their answers lead, on
// stdout or into FILE; throws kv::Error on a failure.
int Graph(const std::vector<std::string>& args);

} // namespace kv::cli
