#pragma once

#include <string>
#include <vector>

// `recover SCRIPT PROJECT`: writes the project recovered from a compiled script and prints, one
// line each, what could not be recovered. Returns the exit status; throws kv::Error on a failure.
int RecoverCommand(const std::vector<std::string>& args);
