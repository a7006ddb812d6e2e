#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kv {

// Paths travel through the program as UTF-8 bytes (the project's file name, the command line);
// the file system gets them as paths, so that no platform reads them in its own code page.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace kv
