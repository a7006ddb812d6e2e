#include "fault_fixture.h"

#include "support/random_project.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>

namespace kv::faults {
namespace fs = std::filesystem;

using kvtest::Entries;
using kvtest::ReadBytes;
using kvtest::WriteBytes;

Project SampleProject(int dialogs) {
    return kvtest::RandomProjects(static_cast<std::uint32_t>(dialogs)).Next(dialogs);
}

FaultAt::FaultAt(ReplaceStep step) : fired_(std::make_shared<int>(0)) {
    SetReplaceFaultHook([step, fired = fired_](ReplaceStep asked) {
        if (asked != step) return false;
        ++*fired;
        return true;
    });
}

FaultAt::~FaultAt() { SetReplaceFaultHook(nullptr); }

void ExpectFailureLeavesEverything(const FileWriter& writer) {
    SCOPED_TRACE(writer.name);
    std::error_code ec;
    bool existed = fs::exists(writer.path, ec);
    bool regular = fs::is_regular_file(writer.path, ec); // a pipe is not read: it would block
    std::string before = regular ? ReadBytes(writer.path) : "";
    fs::path folder = fs::path(writer.path).parent_path();
    bool listable = fs::is_directory(folder, ec);
    std::set<std::string> names = listable ? Entries(folder) : std::set<std::string>{};

    try {
        writer.run();
        ADD_FAILURE() << "the write did not fail";
    } catch (const Error& e) {
        EXPECT_THAT(e.what(), ::testing::HasSubstr(writer.message));
    }
    EXPECT_EQ(fs::exists(writer.path, ec), existed);
    if (regular) {
        EXPECT_EQ(ReadBytes(writer.path), before) << "the old file changed";
    }
    if (listable) {
        EXPECT_EQ(Entries(folder), names) << "a file was left behind or removed";
    }
    if (writer.stillModified) {
        EXPECT_TRUE(writer.stillModified()) << "Modified was cleared";
    }
}

const std::string ThreeFiles::kUserText = "; my own ERM\r\n!?FU1;\r\n!!IF:M^Hi^;\r\n";

ThreeFiles::ThreeFiles(const fs::path& folder)
    : tlk((folder / "quest.tlk").string()), erm((folder / "quest.erm").string()),
      ini((folder / "korvanthiel.ini").string()) {
    WriteBytes(tlk, SerializeProject(SampleProject(1)));
    WriteBytes(erm, kUserText + "\n;Korvanthiel data begin>>>>>\n;old stamp\n\n;old\r\n");
    WriteBytes(ini, "[Options]\r\nMaps=C:\\old\\\r\nWidth=800\r\n[Mine]\r\nKeep=1\r\n");
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
