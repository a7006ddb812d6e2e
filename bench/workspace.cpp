#include "workspace.h"

#include "text/file_io.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kv::bench {
namespace fs = std::filesystem;

namespace {

struct Folder {
    fs::path path;
    Folder() {
        const char* parent = std::getenv("KORV_BENCH_DIR");
        fs::path base = parent && *parent ? fs::path(parent) : fs::temp_directory_path();
#ifndef _WIN32
        path = base / ("korv-bench-" + std::to_string(::getpid()));
#else
        path = base / "korv-bench";
#endif
        fs::create_directories(path);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

} // namespace

const std::string& BenchFolder() {
    static Folder folder;
    static const std::string text = folder.path.string();
    return text;
}

std::string WriteBenchFile(const std::string& name, const std::string& bytes) {
    std::string path = (fs::path(BenchFolder()) / name).string();
    ReplaceFileSafely(path, bytes);
    return path;
}

} // namespace kv::bench
