#pragma once

// What the POSIX and the Windows side of file_io share; for src/text alone.
#include "text/file_io.h"

#include <cstddef>
#include <functional>
#include <string>

namespace kv::file_io {

inline constexpr const char* kNotRegular = "Not a regular file";
inline constexpr const char* kTooLarge = "File too large";
// The longest name a folder entry may have on the usual file systems (bytes on POSIX, UTF-16
// units on Windows).
inline constexpr std::size_t kLongestName = 255;

// True when the test seam makes this step fail.
bool InjectedFault(ReplaceStep step);

// Throw Error with CannotOpenText / CannotWriteText and the text of an errno value.
[[noreturn]] void CannotOpen(const std::string& path, int errorNumber);
[[noreturn]] void CannotWrite(const std::string& path, int errorNumber);

// Asks, just before the new file is put in place, whether the target is still the one the caller
// read; when it is not, or the question fails, the temporary file is forgotten. True: go on.
template <class Forget>
bool StillCurrentOrForget(const std::function<bool()>& stillCurrent, Forget&& forget) {
    if (!stillCurrent) return true;
    bool current = false;
    try {
        current = stillCurrent();
    } catch (...) {
        forget();
        throw;
    }
    if (!current) forget();
    return current;
}

} // namespace kv::file_io
