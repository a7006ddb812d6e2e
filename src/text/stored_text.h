#pragma once

#include "text/byte_scan.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

// The bytes a text of a project may hold. The project file keeps one text a line and ends at a
// byte 26 (Ctrl+Z) wherever it stands, so a line feed or a byte 26 inside a text would come back
// from the file as something else: a shorter text, and every later value shifted or gone. Such a
// byte becomes a blank wherever a text enters a project; every other byte (CR and NUL included)
// is read back exactly as it was written, so it stays.
constexpr bool IsStorableTextByte(char c) { return c != '\n' && c != '\x1A'; }

inline void MakeStorable(char* bytes, std::size_t size) {
    // Nearly every text holds neither byte, and a scan of many bytes at a time says so several
    // times faster than a look at each byte; a load puts every text of the file through here.
    if (byte_scan::FindFirstOf<'\n', '\x1A'>(std::string_view(bytes, size), 0) == size) return;
    for (std::size_t i = 0; i < size; ++i) {
        if (!IsStorableTextByte(bytes[i])) bytes[i] = ' ';
    }
}

inline std::string StorableText(std::string_view text) {
    std::string out(text);
    MakeStorable(out.data(), out.size());
    return out;
}

} // namespace kv
