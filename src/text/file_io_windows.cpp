// The Windows side of file_io: reading a whole file and the safe replace through the Win32 API.
// Paths arrive as UTF-8 and reach the system as UTF-16, so that no name depends on the user's
// code page.
#ifdef _WIN32

#include "text/error.h"
#include "text/file_io.h"
#include "text/file_io_platform.h"
#include "text/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include <windows.h>

namespace kv {
namespace fs = std::filesystem;
using namespace file_io;

namespace {

// The errno value whose text (FileErrorText) says what a Windows error means to the user, so
// that both systems report the same failures in the same words.
int ErrnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    default:
        return EIO;
    }
}

int LastErrno() { return ErrnoOf(::GetLastError()); }

// Owns a file handle; closed when it goes.
class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE h) {
        Close();
        h_ = h;
    }
    bool Close() {
        if (!valid()) return true;
        const bool closed = ::CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE h_;
};

// A file that others may read, write and even delete while it is open: opening it must never
// lock the user's own editor out.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The random part of a temporary file's name.
std::wstring RandomSuffix(std::random_device& random) {
    return std::to_wstring(random() % 1000000);
}

} // namespace

void RemoveTemporaryFileOnSignals() {
    // Windows has none of these signals. Ctrl+C ends a console program while the temporary file
    // is still open, and an open file cannot be removed: a stray one keeps its telling name,
    // ".NAME.tmpNNNNNN".
}

FileBytes ReadFileBytes(const std::string& path, ReadFor purpose) {
    if (path.empty()) CannotOpen(path, ENOENT);
    const std::wstring name = PathFromUtf8(path).wstring();
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) CannotOpen(path, LastErrno());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) CannotOpen(path, EISDIR);
    if (purpose == ReadFor::Replacing && (attributes & FILE_ATTRIBUTE_READONLY))
        CannotOpen(path, EACCES);

    const DWORD access = purpose == ReadFor::Replacing ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    Handle file(::CreateFileW(name.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) CannotOpen(path, LastErrno());
    // A console, a pipe or a device such as NUL is no file to read whole.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) throw Error(CannotOpenText(path, kNotRegular));
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) CannotOpen(path, LastErrno());
    if (static_cast<std::uintmax_t>(size.QuadPart) > kMaxReadBytes)
        throw Error(CannotOpenText(path, kTooLarge));

    // The size the file has now is read straight into the memory it is kept in; read on past
    // it through a buffer: a file may grow while it is read, but never past the limit.
    FileBytes content(static_cast<std::size_t>(size.QuadPart));
    char buffer[1 << 16];
    for (;;) {
        const bool inPlace = content.roomSize() > 0;
        const DWORD want =
            static_cast<DWORD>(inPlace ? std::min<std::size_t>(content.roomSize(), 1u << 30)
                                       : sizeof buffer);
        DWORD got = 0;
        if (!::ReadFile(file.get(), inPlace ? content.room() : buffer, want, &got, nullptr))
            CannotOpen(path, LastErrno());
        if (got == 0) break;
        if (inPlace)
            content.Keep(got);
        else
            content.Append(buffer, got);
        if (content.size() > kMaxReadBytes) throw Error(CannotOpenText(path, kTooLarge));
    }
    return content;
}

bool ReplaceFileSafely(const std::string& path, const std::function<void(const ByteSink&)>& produce,
                       const std::function<bool()>& stillCurrent) {
    const fs::path target = PathFromUtf8(path);
    const std::wstring targetName = target.wstring();
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = L".";

    const DWORD attributes = ::GetFileAttributesW(targetName.c_str());
    const bool hadOld = attributes != INVALID_FILE_ATTRIBUTES;
    if (hadOld && (attributes & FILE_ATTRIBUTE_DIRECTORY)) CannotWrite(path, EISDIR);
    // Windows itself refuses to replace a read-only file; say so before anything is written.
    if (hadOld && (attributes & FILE_ATTRIBUTE_READONLY)) CannotWrite(path, EACCES);
    if (hadOld) {
        // A device (NUL, COM1) would be lost behind a file put in its place.
        Handle old(::CreateFileW(targetName.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (old.valid() && ::GetFileType(old.get()) != FILE_TYPE_DISK)
            throw Error(CannotWriteText(path, kNotRegular));
    }

    // ".NAME.tmpNNNNNN" must itself be a name the folder can hold: a long NAME is shortened,
    // never in the middle of a character that takes two UTF-16 units.
    std::wstring base = target.filename().wstring();
    const std::size_t room = kLongestName - 1 - std::wstring_view(L".tmp000000").size();
    if (base.size() > room) {
        base.resize(room);
        if (!base.empty() && base.back() >= 0xD800 && base.back() <= 0xDBFF) base.pop_back();
    }
    std::random_device random;
    std::wstring tempName;
    Handle temp;
    for (int attempt = 0; attempt < 16 && !temp.valid(); ++attempt) {
        tempName = (folder / (L"." + base + L".tmp" + RandomSuffix(random))).wstring();
        if (InjectedFault(ReplaceStep::CreateTemporary)) CannotWrite(path, EIO);
        // CREATE_NEW: a file of that name that someone else made first is never taken over.
        temp.Reset(::CreateFileW(tempName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!temp.valid() && ::GetLastError() != ERROR_FILE_EXISTS) CannotWrite(path, LastErrno());
    }
    if (!temp.valid()) CannotWrite(path, EEXIST);

    // Every failure from here on removes the temporary file.
    auto forget = [&] {
        temp.Close();
        ::DeleteFileW(tempName.c_str());
    };
    auto fail = [&](int errorNumber) {
        forget();
        CannotWrite(path, errorNumber);
    };

    if (InjectedFault(ReplaceStep::Write)) fail(EIO); // asked for empty content too
    // A failed write ends the producer by an exception and reports its own error.
    int writeError = 0;
    auto write = [&](std::string_view piece) {
        while (!piece.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(piece.size(), 1u << 30));
            DWORD written = 0;
            const bool ok = ::WriteFile(temp.get(), piece.data(), chunk, &written, nullptr) != 0;
            if (!ok || written == 0) {
                writeError = ok ? EIO : LastErrno();
                throw Error(FileErrorText(writeError));
            }
            piece.remove_prefix(written);
        }
    };
    try {
        produce(write);
    } catch (...) {
        if (writeError != 0) fail(writeError);
        forget();
        throw;
    }
    if (InjectedFault(ReplaceStep::Flush)) fail(EIO);
    if (!::FlushFileBuffers(temp.get())) fail(LastErrno());
    if (!temp.Close()) fail(LastErrno());

    if (InjectedFault(ReplaceStep::PutInPlace)) fail(EIO);
    if (!StillCurrentOrForget(stillCurrent, forget)) return false;
    // ReplaceFileW keeps what the old file had beyond its bytes (attributes, permissions, its
    // creation time); a new file, or a file system where ReplaceFileW cannot work, takes the
    // plain move, which replaces atomically as well.
    bool placed = hadOld && ::ReplaceFileW(targetName.c_str(), tempName.c_str(), nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!placed) {
        placed = ::MoveFileExW(tempName.c_str(), targetName.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!placed) fail(LastErrno());
    return true;
}

} // namespace kv

#endif
