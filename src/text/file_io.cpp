#include "text/file_io.h"

#include "text/error.h"
#include "text/file_io_platform.h"
#include "text/parallel.h"
#include "text/paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv {
namespace fs = std::filesystem;
using namespace file_io;

namespace {

std::function<bool(ReplaceStep)>& FaultHook() {
    static std::function<bool(ReplaceStep)> hook;
    return hook;
}

} // namespace

namespace file_io {

bool InjectedFault(ReplaceStep step) { return FaultHook() && FaultHook()(step); }

void CannotOpen(const std::string& path, int errorNumber) {
    throw Error(CannotOpenText(path, FileErrorText(errorNumber)));
}

void CannotWrite(const std::string& path, int errorNumber) {
    throw Error(CannotWriteText(path, FileErrorText(errorNumber)));
}

} // namespace file_io

#ifndef _WIN32
namespace {

// Asks the system to back a large read buffer with 2 MB pages where the kernel offers them: a
// project file of tens of megabytes then costs a few page faults instead of thousands, which on
// a virtual machine take longer than the read itself. Only advice: where it is not taken,
// nothing changes.
void AdviseLargePages([[maybe_unused]] char* data, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < 2 * kLargePage) return;
    auto begin = (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kLargePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

// What ReadInParts read: the bytes up to the first that could not be read (all of them, unless
// the file shrank meanwhile), or the error that stopped it.
struct PartRead {
    std::size_t filled = 0;
    int error = 0;
};

// Reads the first `size` bytes of a file into `out`. A large file is read in parts side by side:
// the copy out of the system's file cache is most of the time a large read takes, and it runs
// on every processor.
PartRead ReadInParts(int fd, char* out, std::size_t size) {
    constexpr std::size_t kLeastPartBytes = std::size_t{1} << 20;
    const std::size_t parts = PartsFor(size, kLeastPartBytes);
    std::vector<PartRead> reads(parts);
    RunParts(parts, [&](std::size_t k) {
        const auto [begin, end] = RangeOfPart(size, parts, k);
        PartRead& read = reads[k];
        while (begin + read.filled < end) {
            const std::size_t at = begin + read.filled;
            const ssize_t got = ::pread(fd, out + at, end - at, static_cast<off_t>(at));
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) read.error = errno;
            if (got <= 0) return; // an error, or the file has shrunk since
            read.filled += static_cast<std::size_t>(got);
        }
    });
    // The bytes count up to the first part that stopped short.
    PartRead whole;
    for (std::size_t k = 0; k < parts; ++k) {
        const auto [begin, end] = RangeOfPart(size, parts, k);
        whole.filled = begin + reads[k].filled;
        whole.error = reads[k].error;
        if (whole.filled < end) break;
    }
    return whole;
}

} // namespace
#endif

std::string FileErrorText(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return "File access denied";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

std::string CannotOpenText(const std::string& path, const std::string& reason) {
    return "Cannot open file \"" + path + "\". " + reason;
}

std::string CannotReadText(const std::string& path, std::int64_t line, const std::string& reason) {
    std::string text = "Cannot read file \"" + path + "\"";
    if (line > 0) text += ", line " + std::to_string(line);
    return text + ". " + reason;
}

std::string CannotWriteText(const std::string& path, const std::string& reason) {
    return "Cannot write file \"" + path + "\". " + reason;
}

void SetReplaceFaultHook(std::function<bool(ReplaceStep)> hook) { FaultHook() = std::move(hook); }

void FileBytes::Append(const char* bytes, std::size_t count) {
    if (count > roomSize()) {
        FileBytes larger(std::max(capacity_ * 2, size_ + count));
        std::memcpy(larger.room(), data_.get(), size_);
        larger.Keep(size_);
        *this = std::move(larger);
    }
    std::memcpy(room(), bytes, count);
    Keep(count);
}

std::string ReadWholeFile(const std::string& path, ReadFor purpose) {
    return std::string(ReadFileBytes(path, purpose).view());
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(PathFromUtf8(path), ec);
}

bool PathExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::exists(PathFromUtf8(path), ec);
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    return fs::equivalent(PathFromUtf8(a), PathFromUtf8(b), ec) && !ec;
}

#ifndef _WIN32 // the Windows side is in file_io_windows.cpp

namespace {

// The temporary file of the replace under way, for the signal handler: a fixed buffer and a
// flag, since a handler may touch nothing else.
char gTemporaryName[PATH_MAX];
volatile std::sig_atomic_t gTemporaryActive = 0;

extern "C" void RemoveTemporaryAndEnd(int signalNumber) {
    if (gTemporaryActive) ::unlink(gTemporaryName);
    // The handler was reset to the default on entry: the signal now ends the program.
    ::raise(signalNumber);
}

// A file whose permission bits let nobody write it.
bool MarkedReadOnly(const struct stat& entry) { return (entry.st_mode & 0222) == 0; }

// While it lives, a write beyond the file-size limit fails with EFBIG instead of ending the
// program with SIGXFSZ, so that it is an ordinary write error and the temporary file goes.
class FileSizeSignalIgnored {
public:
    FileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, &before_);
    }
    ~FileSizeSignalIgnored() { ::sigaction(SIGXFSZ, &before_, nullptr); }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

private:
    struct sigaction before_ {};
};

// Blocks the signals that remove the temporary file while it lives, so that the file and the
// handler's record of it come into being together.
class EndingSignalsBlocked {
public:
    EndingSignalsBlocked() {
        sigset_t set;
        sigemptyset(&set);
        for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, s);
        ::sigprocmask(SIG_BLOCK, &set, &before_);
    }
    ~EndingSignalsBlocked() { ::sigprocmask(SIG_SETMASK, &before_, nullptr); }
    EndingSignalsBlocked(const EndingSignalsBlocked&) = delete;
    EndingSignalsBlocked& operator=(const EndingSignalsBlocked&) = delete;

private:
    sigset_t before_{};
};

} // namespace

void RemoveTemporaryFileOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(s, &action, nullptr);
}

FileBytes ReadFileBytes(const std::string& path, ReadFor purpose) {
    if (path.empty()) CannotOpen(path, ENOENT);
    const fs::path p = PathFromUtf8(path);
    // Look before opening: opening a device may already do something.
    struct stat entry {};
    if (::stat(p.c_str(), &entry) != 0) CannotOpen(path, errno);
    if (S_ISDIR(entry.st_mode)) CannotOpen(path, EISDIR);
    if (!S_ISREG(entry.st_mode)) throw Error(CannotOpenText(path, kNotRegular));
    if (purpose == ReadFor::Replacing && MarkedReadOnly(entry)) CannotOpen(path, EACCES);

    // Without waiting: a pipe put in the file's place since would block the open forever.
    const int mode = purpose == ReadFor::Replacing ? O_RDWR : O_RDONLY;
    const int fd = ::open(p.c_str(), mode | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) CannotOpen(path, errno);
    auto fail = [&](const std::string& reason) {
        ::close(fd);
        throw Error(CannotOpenText(path, reason));
    };
    if (::fstat(fd, &entry) != 0) fail(FileErrorText(errno));
    if (!S_ISREG(entry.st_mode)) fail(kNotRegular);
    if (static_cast<std::uintmax_t>(entry.st_size) > kMaxReadBytes) fail(kTooLarge);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    // The size the file has now is read straight into the memory it is kept in: a copy through
    // a buffer would cost a large project's load about as much again as the read itself.
    FileBytes content(static_cast<std::size_t>(entry.st_size));
    AdviseLargePages(content.room(), content.roomSize());
    const PartRead read = ReadInParts(fd, content.room(), content.roomSize());
    if (read.error != 0) fail(FileErrorText(read.error));
    content.Keep(read.filled);
    // The rest is read from where the parts ended.
    if (::lseek(fd, static_cast<off_t>(read.filled), SEEK_SET) < 0) fail(FileErrorText(errno));
    // Read on past the size: a file may grow while it is read, but never past the limit.
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail(FileErrorText(errno));
        if (got == 0) break;
        content.Append(buffer, static_cast<std::size_t>(got));
        if (content.size() > kMaxReadBytes) fail(kTooLarge);
    }
    ::close(fd);
    return content;
}

bool ReplaceFileSafely(const std::string& path, const std::function<void(const ByteSink&)>& produce,
                       const std::function<bool()>& stillCurrent) {
    fs::path target = PathFromUtf8(path);
    // Saving through a symbolic link updates the file it points to and keeps the link.
    struct stat entry {};
    if (::lstat(target.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) {
        std::error_code ec;
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) target = resolved;
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    struct stat old {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0;
    if (hadOld && S_ISDIR(old.st_mode)) CannotWrite(path, EISDIR);
    // A pipe or a device (/dev/full) would be destroyed by a file put in its place.
    if (hadOld && !S_ISREG(old.st_mode)) throw Error(CannotWriteText(path, kNotRegular));
    if (hadOld && MarkedReadOnly(old)) CannotWrite(path, EACCES);
    if (hadOld && ::access(target.c_str(), W_OK) != 0) CannotWrite(path, errno);

    // The temporary file has the final file's permission bits from the start: a private
    // project never has a readable copy beside it, not even for a moment.
    const mode_t permissions = hadOld ? (old.st_mode & 07777) : 0666;
    FileSizeSignalIgnored sizeLimitIsAnError;
    // ".NAME.tmpNNNNNN" must itself be a name the folder can hold: a long NAME is shortened.
    std::string base = target.filename().string();
    const std::size_t room = kLongestName - std::string_view(".").size() -
                             std::string_view(".tmp000000").size();
    if (base.size() > room) base.resize(room);
    std::random_device random;
    std::string tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        tempName = (folder / ("." + base + ".tmp" + std::to_string(random() % 1000000))).string();
        if (InjectedFault(ReplaceStep::CreateTemporary)) CannotWrite(path, EIO);
        EndingSignalsBlocked together;
        fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, permissions);
        if (fd < 0 && errno != EEXIST) CannotWrite(path, errno);
        if (fd >= 0 && tempName.size() < sizeof gTemporaryName) {
            std::memcpy(gTemporaryName, tempName.c_str(), tempName.size() + 1);
            gTemporaryActive = 1;
        }
    }
    if (fd < 0) CannotWrite(path, EEXIST);
    // The umask may have taken bits that the old file had.
    if (hadOld) ::fchmod(fd, permissions);

    auto forget = [&] {
        ::unlink(tempName.c_str());
        gTemporaryActive = 0;
    };
    // Every failure from here on removes the temporary file. An injected failure is an I/O
    // error; a real one reports its own error number, never a stale one.
    auto fail = [&](int errorNumber) {
        ::close(fd);
        forget();
        CannotWrite(path, errorNumber);
    };

    if (InjectedFault(ReplaceStep::Write)) fail(EIO); // asked for empty content too
    // A failed write ends the producer by an exception; whatever ends it, the temporary file
    // goes, and a failed write reports its own error number.
    int writeError = 0;
    auto write = [&](std::string_view piece) {
        const char* data = piece.data();
        std::size_t left = piece.size();
        while (left > 0) {
            const ssize_t written = ::write(fd, data, left);
            if (written < 0) {
                if (errno == EINTR) continue;
                writeError = errno;
                throw Error(FileErrorText(writeError));
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
    };
    try {
        produce(write);
    } catch (...) {
        if (writeError != 0) fail(writeError);
        ::close(fd);
        forget();
        throw;
    }
    if (InjectedFault(ReplaceStep::Flush)) fail(EIO);
    if (::fsync(fd) != 0) fail(errno);
    if (::close(fd) != 0) {
        const int e = errno;
        forget();
        CannotWrite(path, e);
    }
    int renameError = InjectedFault(ReplaceStep::PutInPlace) ? EIO : 0;
    if (renameError == 0 && !StillCurrentOrForget(stillCurrent, forget)) return false;
    if (renameError == 0 && ::rename(tempName.c_str(), target.c_str()) != 0) renameError = errno;
    if (renameError != 0) {
        forget();
        CannotWrite(path, renameError);
    }
    gTemporaryActive = 0;
    // Make the new name itself durable; a folder that cannot be synced is no reason to fail.
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

#endif

bool ReplaceFileSafely(const std::string& path, std::string_view content,
                       const std::function<bool()>& stillCurrent) {
    return ReplaceFileSafely(
        path, [content](const ByteSink& write) { write(content); }, stillCurrent);
}

} // namespace kv
