#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// A fresh folder under the system's temporary folder for one test, removed when the test ends.
struct ScratchFolder {
    std::filesystem::path root = std::filesystem::temp_directory_path() /
                                 ("korv-ini-" + std::to_string(std::random_device{}()));
    ScratchFolder() { std::filesystem::create_directories(root); }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    std::string Path(const std::string& name) const { return (root / name).string(); }
    std::string Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
        return Path(name);
    }
    // To see that nothing was created or left behind.
    long Entries() const {
        auto entries = std::filesystem::directory_iterator(root);
        return std::distance(begin(entries), end(entries));
    }
};
