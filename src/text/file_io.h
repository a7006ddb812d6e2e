#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kv {

// The largest file ReadWholeFile reads. A larger file, or a stream that goes on longer (a pipe,
// /dev/zero), fails with "File too large" instead of taking all the memory there is.
constexpr std::uintmax_t kMaxReadBytes = std::uintmax_t{1} << 29; // 512 MiB

// Reads a whole file as bytes. Throws Error with "File not found", "File access denied",
// "File too large" or "I/O error N".
std::string ReadWholeFile(const std::string& path);

bool FileExists(const std::string& path);

// Replaces the file at path by content without ever leaving it half written: the bytes go to a
// temporary file in the same folder, which is flushed to disk and then put in place of the old
// file. An existing file keeps its permission bits. On any failure the temporary file is
// removed, the old file is left byte for byte as it was, and Error is thrown with the user's
// text.
void ReplaceFileSafely(const std::string& path, std::string_view content);

// The same for content made piece by piece: produce(write) calls write for each piece in
// order, so a large file never has to stand whole in memory. Whatever produce throws removes
// the temporary file and leaves the old one as it was.
using ByteSink = std::function<void(std::string_view)>;
void ReplaceFileSafely(const std::string& path,
                       const std::function<void(const ByteSink&)>& produce);

// The steps of ReplaceFileSafely, in order. Tests make each of them fail in turn.
enum class ReplaceStep { CreateTemporary, Write, Flush, PutInPlace };

// Test seam: when set, it is asked before each step and a true answer makes that step fail as
// the system would (with an I/O error). Empty in the program.
void SetReplaceFaultHook(std::function<bool(ReplaceStep)> hook);

} // namespace kv
