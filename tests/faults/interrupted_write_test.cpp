// Writes cut short by the user or by another program: a signal in the middle of a save, an
// author who saves the script while it is compiled, and the temporary file's own name and rights.
#include "fault_fixture.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>

#ifdef __linux__

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kv::faults {
namespace {
namespace fs = std::filesystem;

using kvtest::ReadBytes;
using kvtest::TempDir;
using kvtest::WriteBytes;

class InterruptedWrite : public ::testing::Test {
protected:
    void TearDown() override { SetReplaceFaultHook({}); }
    TempDir dir;
    const std::string path = dir.Path("p.tlk");
};

TEST_F(InterruptedWrite, ASignalTakesTheTemporaryFileWithIt) {
    WriteBytes(path, "old");
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = ::fork();
        if (child == 0) { // the program, ended while its new file is half written
            RemoveTemporaryFileOnSignals();
            SetReplaceFaultHook([=](ReplaceStep step) {
                if (step == ReplaceStep::Flush) ::raise(signalNumber);
                return false;
            });
            ReplaceFileSafely(path, "new");
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
        EXPECT_EQ(ReadBytes(path), "old");
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"p.tlk"});
    }
}

TEST_F(InterruptedWrite, TheTemporaryFileHasTheFinalRightsAndAFittingName) {
    // A private project never has a readable copy beside it, not even while it is written.
    WriteBytes(path, "old");
    fs::permissions(path, fs::perms(0600));
    mode_t seen = 0;
    SetReplaceFaultHook([&](ReplaceStep step) {
        for (const std::string& name : dir.Entries()) {
            struct stat entry {};
            if (step == ReplaceStep::Write && name != "p.tlk" && ::stat(dir.Path(name).c_str(), &entry) == 0)
                seen = entry.st_mode & 0777;
        }
        return false;
    });
    ReplaceFileSafely(path, "new");
    EXPECT_EQ(seen, 0600u);
    // A name at the longest a folder allows still leaves room for its temporary file.
    const std::string longest = dir.Path(std::string(251, 'n') + ".tlk");
    ReplaceFileSafely(longest, "new");
    EXPECT_EQ(ReadBytes(longest), "new");
    EXPECT_EQ(dir.Entries().size(), 2u);
}

TEST_F(InterruptedWrite, AScriptSavedDuringTheCompileIsNeverOverwritten) {
    // The author's editor saves the script while the new one is being written: once, and the
    // compile splices again from the new text; every time, and his last save stays.
    const Project project = SampleProject(2);
    const std::string script = dir.Path("quest.erm"), stamp = "01.02.2024 10:00:00";
    for (int saves : {1, 2}) {
        WriteBytes(script, "; mine\r\n");
        int made = 0;
        SetReplaceFaultHook([&](ReplaceStep step) {
            if (step == ReplaceStep::PutInPlace && made < saves)
                WriteBytes(script, "; edit " + std::to_string(++made) + "\r\n");
            return false;
        });
        if (saves == 1) {
            CompileScript(project, script, stamp);
            EXPECT_EQ(ReadBytes(script), SpliceScript("; edit 1\r\n", project, stamp));
        } else {
            EXPECT_THAT(kvtest::ErrorOf([&] { CompileScript(project, script, stamp); }),
                        testing::HasSubstr("Another program changed the file"));
            EXPECT_EQ(ReadBytes(script), "; edit 2\r\n");
        }
        EXPECT_EQ(dir.Entries(), std::set<std::string>{"quest.erm"});
    }
}

} // namespace
} // namespace kv::faults

#endif
