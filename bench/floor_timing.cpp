#include "floor_timing.h"

#include "text/error.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kv::bench {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File Open(const std::string& path, const char* mode) {
    File file(std::fopen(path.c_str(), mode), &std::fclose);
    if (!file) throw Error("cannot open " + path + ": " + FileErrorText(errno));
    return file;
}

} // namespace

std::size_t ReadFloor(const std::string& path) {
    File file = Open(path, "rb");
    std::fseek(file.get(), 0, SEEK_END);
    long size = std::ftell(file.get());
    std::fseek(file.get(), 0, SEEK_SET);
    // A buffer nobody fills first: the floor is the read alone.
    std::unique_ptr<char[]> bytes(new char[static_cast<std::size_t>(size)]);
    std::size_t read = std::fread(bytes.get(), 1, static_cast<std::size_t>(size), file.get());
    benchmark::DoNotOptimize(bytes.get());
    return read;
}

void WriteFloor(const std::string& path, std::string_view bytes) {
    File file = Open(path, "wb");
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0)
        throw Error("cannot write " + path);
#ifndef _WIN32
    ::fsync(::fileno(file.get()));
#endif
}

} // namespace kv::bench
