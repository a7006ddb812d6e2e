#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kv {

// The largest file ReadWholeFile reads. A larger file fails with "File too large" instead of
// taking all the memory there is.
constexpr std::uintmax_t kMaxReadBytes = std::uintmax_t{1} << 29; // 512 MiB

// The user's text for a file that could not be opened, read or written: the file's name (and
// the line, for what it holds) first, then what went wrong: "Cannot open file "a.tlk". File not
// found", "Cannot read file "a.tlk", line 17. Invalid numeric input". Line 0 names none.
std::string CannotOpenText(const std::string& path, const std::string& reason);
std::string CannotReadText(const std::string& path, std::int64_t line, const std::string& reason);
std::string CannotWriteText(const std::string& path, const std::string& reason);

// What the caller will do with a file it reads whole.
enum class ReadFor {
    Reading,
    // The caller means to replace the file afterwards: a file that could not be written back
    // (marked read-only, or not writable by this user) is refused before it is read.
    Replacing,
};

// The bytes of a whole file, in memory that nothing fills before the bytes are read into it:
// the readers of large projects look at them where they lie, and clearing the memory of a file
// of many megabytes first would cost them about a third as much again as the read.
class FileBytes {
public:
    FileBytes() = default;
    // Room for `capacity` bytes, of which none is kept yet.
    explicit FileBytes(std::size_t capacity)
        : data_(std::make_unique_for_overwrite<char[]>(capacity)), capacity_(capacity) {}

    std::string_view view() const { return {data_.get(), size_}; }
    std::size_t size() const { return size_; }

    // For a reader: the room after the bytes kept so far, and keeping `count` bytes it wrote at
    // its start; Append keeps bytes from elsewhere, with more room when there is too little.
    char* room() { return data_.get() + size_; }
    std::size_t roomSize() const { return capacity_ - size_; }
    void Keep(std::size_t count) { size_ += count; }
    void Append(const char* bytes, std::size_t count);
    // The memory the bytes lie in (they are its first size()), for a reader that keeps them.
    std::unique_ptr<char[]> Release() && {
        size_ = capacity_ = 0;
        return std::move(data_);
    }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Reads a whole regular file as bytes. The file is opened without waiting, so that a named
// pipe cannot hang the program, and anything but a regular file is refused. Throws Error with
// CannotOpenText and "File not found", "File access denied", "Not a regular file",
// "File too large" or "I/O error N".
FileBytes ReadFileBytes(const std::string& path, ReadFor purpose = ReadFor::Reading);
// The same in a string, for a caller that keeps or changes the text.
std::string ReadWholeFile(const std::string& path, ReadFor purpose = ReadFor::Reading);

// True for an existing regular file.
bool FileExists(const std::string& path);
// True when something (a file, a folder, a pipe...) exists at path.
bool PathExists(const std::string& path);
// True when both paths name the same existing file, through links or other spellings too.
bool SameFile(const std::string& a, const std::string& b);

// Replaces the file at path by content without ever leaving it half written: the bytes go to a
// temporary file in the same folder (created with the old file's permission bits), which is
// flushed to disk and then put in place of the old file. A file whose permission bits let nobody
// write it is refused, as Windows refuses a read-only file, also for an administrator. On any
// failure the temporary file is removed, the old file is left byte for byte as it was, and Error
// is thrown with CannotWriteText.
//
// stillCurrent, when given, is asked right before the new file is put in place; false stops the
// replace (the temporary file is removed, the old file stays) and ReplaceFileSafely returns
// false. A caller whose content was built from the old file checks here that nobody changed it.
bool ReplaceFileSafely(const std::string& path, std::string_view content,
                       const std::function<bool()>& stillCurrent = {});

// For a program that ends on a signal: SIGINT, SIGTERM and SIGHUP remove the temporary file of
// a replace under way before the program ends as the signal would have ended it.
void RemoveTemporaryFileOnSignals();

// The same for content made piece by piece: produce(write) calls write for each piece in
// order, so a large file never has to stand whole in memory. Whatever produce throws removes
// the temporary file and leaves the old one as it was.
using ByteSink = std::function<void(std::string_view)>;
bool ReplaceFileSafely(const std::string& path, const std::function<void(const ByteSink&)>& produce,
                       const std::function<bool()>& stillCurrent = {});

// The steps of ReplaceFileSafely, in order. Tests make each of them fail in turn.
enum class ReplaceStep { CreateTemporary, Write, Flush, PutInPlace };

// Test seam: when set, it is asked before each step and a true answer makes that step fail as
// the system would (with an I/O error). Empty in the program.
void SetReplaceFaultHook(std::function<bool(ReplaceStep)> hook);

} // namespace kv
