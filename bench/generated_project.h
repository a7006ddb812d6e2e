#pragma once

#include "model/project.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv::bench {

// A project as an author would fill it, at any size: Russian texts in Windows-1251, a message of
// several lines, two to six answers per dialog with captions, costs in some resources, rewards,
// skill requirements, variables and follow-ups (mostly links to other dialogs of the project,
// some bare function numbers). The same seed gives the same project.
Project MakeBenchProject(int dialogs, std::uint32_t seed = 1);

// The same project as an INI project file (section Main and one section per dialog, every key
// that holds a value), CR LF line ends.
std::string MakeIniProject(const Project& project);

// `bytes` of the user's own ERM text (lines ended by CR LF, no marker), the part of a script
// that a compile keeps.
std::string MakeUserScript(std::size_t bytes, std::uint32_t seed = 7);

} // namespace kv::bench
