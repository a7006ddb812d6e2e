#include "text/file_io.h"

#include "text/error.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv {
namespace fs = std::filesystem;

namespace {

std::function<bool(ReplaceStep)>& FaultHook() {
    static std::function<bool(ReplaceStep)> hook;
    return hook;
}

bool InjectedFault(ReplaceStep step) { return FaultHook() && FaultHook()(step); }

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

[[noreturn]] void ThrowErrno(int errorNumber) { throw Error(FileErrorText(errorNumber)); }

// Asks the system to back a large buffer that is about to be filled with 2 MB pages where it
// offers them: a project file of tens of megabytes then costs a few page faults instead of
// thousands, which on a virtual machine take longer than the read itself. Only advice: where it
// is not taken, nothing changes.
void AdviseLargePages([[maybe_unused]] char* data, [[maybe_unused]] std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < 2 * kLargePage) return;
    auto begin = (reinterpret_cast<std::uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kLargePage - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

} // namespace

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

void SetReplaceFaultHook(std::function<bool(ReplaceStep)> hook) { FaultHook() = std::move(hook); }

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return fs::is_regular_file(PathOf(path), ec);
}

std::string ReadWholeFile(const std::string& path) {
    if (path.empty()) ThrowErrno(ENOENT);
    fs::path p = PathOf(path);
    std::error_code ec;
    fs::file_status status = fs::status(p, ec);
    if (status.type() == fs::file_type::not_found) ThrowErrno(ENOENT);
    if (ec) ThrowErrno(ec.value()); // for instance a folder on the way that may not be entered
    if (status.type() == fs::file_type::directory) ThrowErrno(EACCES);
    errno = 0;
    std::ifstream in(p, std::ios::binary);
    if (!in) ThrowErrno(errno ? errno : EACCES);
    // Read in pieces rather than trusting the size: pipes and special files report none.
    std::string content;
    if (status.type() == fs::file_type::regular) {
        auto size = fs::file_size(p, ec);
        if (!ec && size > kMaxReadBytes) throw Error("File too large");
        if (!ec) {
            content.reserve(static_cast<std::size_t>(size));
            AdviseLargePages(content.data(), content.capacity());
        }
    }
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        content.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (content.size() > kMaxReadBytes) throw Error("File too large");
    }
    if (in.bad()) ThrowErrno(errno ? errno : EIO);
    return content;
}

void ReplaceFileSafely(const std::string& path, std::string_view content) {
    ReplaceFileSafely(path, [content](const ByteSink& write) { write(content); });
}

#ifndef _WIN32

void ReplaceFileSafely(const std::string& path,
                       const std::function<void(const ByteSink&)>& produce) {
    fs::path target = PathOf(path);
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
    bool hadOld = ::stat(target.c_str(), &old) == 0;
    if (hadOld && S_ISDIR(old.st_mode)) ThrowErrno(EISDIR);
    // A pipe or a device (/dev/full) would be destroyed by a file put in its place.
    if (hadOld && !S_ISREG(old.st_mode)) ThrowErrno(EACCES);
    if (hadOld && ::access(target.c_str(), W_OK) != 0) ThrowErrno(errno);

    std::random_device random;
    std::string tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        tempName = (folder / ("." + target.filename().string() + ".tmp" +
                              std::to_string(random() % 1000000)))
                       .string();
        if (InjectedFault(ReplaceStep::CreateTemporary)) ThrowErrno(EIO);
        fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) ThrowErrno(errno);
    }
    if (fd < 0) ThrowErrno(EEXIST);

    // Every failure from here on removes the temporary file. An injected failure is an I/O
    // error; a real one reports its own error number, never a stale one.
    auto fail = [&](int errorNumber) {
        ::close(fd);
        ::unlink(tempName.c_str());
        ThrowErrno(errorNumber);
    };

    if (InjectedFault(ReplaceStep::Write)) fail(EIO); // asked for empty content too
    // A failed write ends the producer by an exception; whatever ends it, the temporary file
    // goes, and a failed write reports its own error number.
    int writeError = 0;
    auto write = [&](std::string_view piece) {
        const char* data = piece.data();
        std::size_t left = piece.size();
        while (left > 0) {
            ssize_t written = ::write(fd, data, left);
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
        ::unlink(tempName.c_str());
        throw;
    }
    if (hadOld) ::fchmod(fd, old.st_mode & 07777);
    if (InjectedFault(ReplaceStep::Flush)) fail(EIO);
    if (::fsync(fd) != 0) fail(errno);
    if (::close(fd) != 0) {
        int e = errno;
        ::unlink(tempName.c_str());
        ThrowErrno(e);
    }
    int renameError = InjectedFault(ReplaceStep::PutInPlace) ? EIO : 0;
    if (renameError == 0 && ::rename(tempName.c_str(), target.c_str()) != 0) renameError = errno;
    if (renameError != 0) {
        ::unlink(tempName.c_str());
        ThrowErrno(renameError);
    }
    // Make the new name itself durable; a folder that cannot be synced is no reason to fail.
    int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

#else

void ReplaceFileSafely(const std::string& path,
                       const std::function<void(const ByteSink&)>& produce) {
    fs::path target = PathOf(path);
    fs::path folder = target.parent_path();
    std::error_code ec;
    if (fs::is_directory(target, ec)) ThrowErrno(EISDIR);
    fs::path temp = folder / (target.filename().wstring() + L".tmp");
    if (InjectedFault(ReplaceStep::CreateTemporary)) ThrowErrno(EIO);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) ThrowErrno(errno ? errno : EACCES);
        bool written = !InjectedFault(ReplaceStep::Write);
        try {
            if (written) {
                produce([&](std::string_view piece) {
                    if (!out.write(piece.data(), static_cast<std::streamsize>(piece.size())))
                        throw Error(FileErrorText(EIO));
                });
            }
        } catch (...) {
            out.close();
            fs::remove(temp, ec);
            throw;
        }
        if (!written) {
            out.close();
            fs::remove(temp, ec);
            ThrowErrno(EIO);
        }
        if (InjectedFault(ReplaceStep::Flush) || !out.flush()) {
            out.close();
            fs::remove(temp, ec);
            ThrowErrno(EIO);
        }
    }
    if (InjectedFault(ReplaceStep::PutInPlace)) {
        fs::remove(temp, ec);
        ThrowErrno(EIO);
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        ThrowErrno(EACCES);
    }
}

#endif

} // namespace kv
