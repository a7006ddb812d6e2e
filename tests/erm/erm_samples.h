#pragma once

// Projects and helpers shared by the ERM tests.

#include "model/project.h"
#include "text/cp1251.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace kv::test {

// Test texts are written in UTF-8 and compared as the Windows-1251 bytes the program writes.
inline std::string W(std::string_view utf8) {
    return Utf8ToCp1251(utf8);
}

// The merchant (golden block merchant.erm): two lines of message, a gold cost on the first answer,
// a plain second answer. The follow-up of answer 1 is function 101, as a link when `target` is
// given, else as a number.
inline void FillMerchant(TDialogItem& d, TDialogItem* target) {
    d.FunctionNumber = 100;
    d.Hint = "Merchant";
    d.Text[0] = "Hello, traveller!";
    d.Text[1] = "Buy a map?";
    d.Header = "Your choice:";
    d.VariantEscape = 1;
    d.VariantDefault = 1;
    d.Variant[0] = "Buy a map (500 gold)";
    d.Variants[0].Gold = 500;
    if (target)
        d.LinkDialog[0] = target;
    else
        d.Function[0] = 101;
    d.Variant[1] = "Leave";
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("korv-erm-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // How many entries the folder holds, for checking that no temporary file stayed behind.
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(path_),
                                                      std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A generated block as it must be, byte for byte (Windows-1251, LF line ends, no final LF).
inline std::string Golden(const std::string& name) {
    return ReadBytes(std::string(KORV_TEST_DATA) + "/erm/" + name);
}

} // namespace kv::test
