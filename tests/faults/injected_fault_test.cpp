// Each step of the safe replace fails in turn, for each of the three files the program writes:
// the project, the script and the settings. Every failure must be reported with the user's text
// and leave the old file byte for byte, no temporary file, and (for the save) Modified set.
#include "fault_fixture.h"
#include "support/error_text.h"
#include "support/temp_dir.h"

#include <cerrno>

namespace kv::faults {
namespace {

using kvtest::ReadBytes;

class InjectedFault : public ::testing::Test {
protected:
    kvtest::TempDir dir;
    ThreeFiles files{dir.Root()};
};

TEST_F(InjectedFault, EveryStepOfEveryWriteFailsWithoutLoss) {
    for (const FileWriter& writer : files.Writers(FileErrorText(EIO))) {
        for (ReplaceStep step : kAllSteps) {
            SCOPED_TRACE(static_cast<int>(step)); // in the order of kAllSteps
            FaultAt fault(step);
            ExpectFailureLeavesEverything(writer);
            EXPECT_GE(fault.fired(), 1) << "the step was never reached";
        }
    }
}

TEST_F(InjectedFault, AFailedSaveAsOrFirstSettingsLeavesNoFileAtAll) {
    std::string tlk = dir.Path("new.tlk");
    std::string ini = dir.Path("new.ini");
    for (ReplaceStep step : kAllSteps) {
        SCOPED_TRACE(static_cast<int>(step)); // in the order of kAllSteps
        FaultAt fault(step);
        ExpectFailureLeavesEverything({"save as", tlk, [&] { SaveProject(files.project, tlk); },
                                       FileErrorText(EIO), [&] { return files.project.Modified; }});
        ExpectFailureLeavesEverything({"first settings", ini,
                                       [&] { WriteSettings(ini, files.settings); },
                                       "Unable to write to", nullptr});
    }
}

TEST_F(InjectedFault, AScriptSavedDuringTheCompileIsNeverOverwritten) {
    // The author's editor saves the script while the new one is being written: once, and the
    // compile splices again from his text; every time, and his last save stays.
    for (int saves : {1, 2}) {
        int made = 0;
        SetReplaceFaultHook([&](ReplaceStep step) {
            if (step == ReplaceStep::PutInPlace && made < saves)
                kvtest::WriteBytes(files.erm, "; edit " + std::to_string(++made) + "\r\n");
            return false;
        });
        std::string error = kvtest::ErrorOf([&] { CompileScript(files.project, files.erm, "now"); });
        SetReplaceFaultHook(nullptr);
        EXPECT_EQ(ReadBytes(files.erm), saves == 1 ? SpliceScript("; edit 1\r\n", files.project, "now")
                                                   : "; edit 2\r\n");
        EXPECT_EQ(error.find("Another program changed") != std::string::npos, saves == 2) << error;
        EXPECT_EQ(dir.Entries().size(), 3u);
    }
}

} // namespace
} // namespace kv::faults
