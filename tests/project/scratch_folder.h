#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder for one test; removed with everything in
// it when the test ends.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("korv-ini-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(root_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(std::string_view name) const { return (root_ / name).string(); }

    std::string Put(std::string_view name, std::string_view bytes) const {
        std::string path = Path(name);
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // The number of entries in the folder, to see that nothing was left behind.
    int EntryCount() const {
        int n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(root_))
            ++n;
        return n;
    }

private:
    std::filesystem::path root_;
};
