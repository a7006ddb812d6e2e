#pragma once

#include <stdexcept>
#include <string>

namespace kv {

// The one exception type of the core. Its message is the text the user sees, in UTF-8: the
// desktop program shows it in an error box, the command-line tool prints it on stderr.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// The user's text for a failed file operation, from the system's error number:
// "File not found", "File access denied", "Disk full" or "I/O error N".
std::string FileErrorText(int errorNumber);

} // namespace kv
