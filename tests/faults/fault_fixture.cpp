#include "fault_fixture.h"

#include <gmock/gmock.h>

#include <fstream>
#include <random>
#include <sstream>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace kv::faults {
namespace fs = std::filesystem;

namespace {

#ifdef __linux__
// Undoes what a test may have done to a file (immutable flag, read-only mode) so it can go.
void MakeRemovable(const fs::path& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL)) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    std::error_code ec;
    if (!fs::is_symlink(path, ec)) fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
}
#else
void MakeRemovable(const fs::path&) {}
#endif

} // namespace

TempFolder::TempFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("korv-faults-" + std::to_string(random()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    MakeRemovable(path_);
    for (const auto& entry : fs::recursive_directory_iterator(path_, ec)) MakeRemovable(entry.path());
    fs::remove_all(path_, ec);
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void PutBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

Project SampleProject(int dialogs) {
    Project project;
    project.ScriptFile = "C:\\Maps\\" + Utf8ToCp1251("сказка") + ".erm";
    for (int i = 0; i < dialogs; ++i) {
        TDialogItem& d = *project.AppendDialog();
        d.FunctionNumber = 1000 + i;
        d.Hint = std::to_string(d.FunctionNumber) + Utf8ToCp1251(" Трактирщик");
        d.Text[0] = Utf8ToCp1251("Добро пожаловать, путник! Что желаешь?");
        d.Text[1] = Utf8ToCp1251("Комнаты наверху, эль в бочке.");
        d.Header = Utf8ToCp1251("Ваш выбор:");
        d.Variant[0] = Utf8ToCp1251("Снять комнату (50 золота)");
        d.Variants[0].Gold = 50;
        d.Function[0] = 1000 + (i + 1) % dialogs;
        d.Variant[1] = Utf8ToCp1251("Уйти");
    }
    project.RebuildLinks();
    return project;
}

FaultAt::FaultAt(ReplaceStep step) : fired_(std::make_shared<int>(0)) {
    SetReplaceFaultHook([step, fired = fired_](ReplaceStep asked) {
        if (asked != step) return false;
        ++*fired;
        return true;
    });
}

FaultAt::~FaultAt() { SetReplaceFaultHook(nullptr); }

const char* StepName(ReplaceStep step) {
    switch (step) {
    case ReplaceStep::CreateTemporary: return "CreateTemporary";
    case ReplaceStep::Write: return "Write";
    case ReplaceStep::Flush: return "Flush";
    case ReplaceStep::PutInPlace: return "PutInPlace";
    }
    return "?";
}

void ExpectFailureLeavesEverything(const FileWriter& writer) {
    SCOPED_TRACE(writer.name);
    std::error_code ec;
    bool existed = fs::exists(writer.path, ec);
    bool regular = fs::is_regular_file(writer.path, ec); // a pipe is not read: it would block
    std::string before = regular ? Bytes(writer.path) : "";
    fs::path folder = fs::path(writer.path).parent_path();
    bool listable = fs::is_directory(folder, ec);
    std::set<std::string> names = listable ? Names(folder) : std::set<std::string>{};

    try {
        writer.run();
        ADD_FAILURE() << "the write did not fail";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr(writer.message));
    }
    EXPECT_EQ(fs::exists(writer.path, ec), existed);
    if (regular) {
        EXPECT_EQ(Bytes(writer.path), before) << "the old file changed";
    }
    if (listable) {
        EXPECT_EQ(Names(folder), names) << "a file was left behind or removed";
    }
    if (writer.stillModified) {
        EXPECT_TRUE(writer.stillModified()) << "Modified was cleared";
    }
}

const std::string ThreeFiles::kUserText = "; my own ERM\r\n!?FU1;\r\n!!IF:M^Hi^;\r\n";

ThreeFiles::ThreeFiles(const fs::path& folder)
    : tlk((folder / "quest.tlk").string()), erm((folder / "quest.erm").string()),
      ini((folder / "korvanthiel.ini").string()) {
    PutBytes(tlk, SerializeProject(SampleProject(1)));
    PutBytes(erm, kUserText + "\n;Korvanthiel data begin>>>>>\n;old stamp\n\n;old\r\n");
    PutBytes(ini, "[Options]\r\nMaps=C:\\old\\\r\nWidth=800\r\n[Mine]\r\nKeep=1\r\n");
    project.Modified = true;
    settings.Maps = "D:\\maps\\";
    settings.Width = 1024;
}

std::vector<FileWriter> ThreeFiles::Writers(const std::string& saveMessage) {
    return {
        {"save", tlk, [this] { SaveProject(project, tlk); }, saveMessage,
         [this] { return project.Modified; }},
        {"compile", erm, [this] { CompileScript(project, erm, "01.02.2024 10:00:00"); },
         fs::path(erm).filename().string(), nullptr},
        {"settings", ini, [this] { WriteSettings(ini, settings); }, "Unable to write to " + ini,
         nullptr},
    };
}

} // namespace kv::faults
