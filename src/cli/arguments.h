#pragma once

#include <string>
#include <vector>

namespace kv::cli {

// The command line after the program's name, as UTF-8. On Windows argv holds the arguments in
// the user's ANSI code page, which loses every character outside it, so they are read again as
// UTF-16 from the system and converted; elsewhere argv is already UTF-8.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

} // namespace kv::cli
