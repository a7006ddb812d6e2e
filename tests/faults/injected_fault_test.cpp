// Each step of the safe replace fails in turn, for each of the three files the program writes:
// the project, the script and the settings. Every failure must be reported with the user's text
// and leave the old file byte for byte, no temporary file, and (for the save) Modified set.
#include "fault_fixture.h"

#include <cerrno>

namespace kv::faults {
namespace {

class InjectedFault : public ::testing::Test {
protected:
    TempFolder folder;
    ThreeFiles files{folder.path()};
};

TEST_F(InjectedFault, EveryStepOfEveryWriteFailsWithoutLoss) {
    for (const FileWriter& writer : files.Writers(FileErrorText(EIO))) {
        for (ReplaceStep step : kAllSteps) {
            SCOPED_TRACE(StepName(step));
            FaultAt fault(step);
            ExpectFailureLeavesEverything(writer);
            EXPECT_GE(fault.fired(), 1) << "the step was never reached";
        }
    }
}

TEST_F(InjectedFault, TheSameWritesSucceedOnceTheFaultIsGone) {
    // The failures above were the seam's doing: without it each write goes through, replaces its
    // file and leaves nothing else in the folder.
    std::set<std::string> names = Names(folder.path());
    for (const FileWriter& writer : files.Writers("")) {
        SCOPED_TRACE(writer.name);
        std::string before = Bytes(writer.path);
        writer.run();
        EXPECT_NE(Bytes(writer.path), before);
    }
    EXPECT_EQ(Names(folder.path()), names);
    EXPECT_FALSE(files.project.Modified);
    EXPECT_EQ(Bytes(files.tlk), SerializeProject(files.project));
    std::string script = Bytes(files.erm);
    EXPECT_EQ(script.rfind(ThreeFiles::kUserText, 0), 0u);
    EXPECT_EQ(script.find(";old\r\n"), std::string::npos);
    EXPECT_NE(Bytes(files.ini).find("Keep=1"), std::string::npos);
}

TEST_F(InjectedFault, AFailedFirstWriteLeavesNoFileAtAll) {
    std::string tlk = folder.File("new.tlk");
    std::string ini = folder.File("new.ini");
    for (ReplaceStep step : kAllSteps) {
        SCOPED_TRACE(StepName(step));
        FaultAt fault(step);
        ExpectFailureLeavesEverything({"save as", tlk, [&] { SaveProject(files.project, tlk); },
                                       FileErrorText(EIO), [&] { return files.project.Modified; }});
        ExpectFailureLeavesEverything(
            {"first settings", ini, [&] { WriteSettings(ini, files.settings); }, "Unable to write to", nullptr});
    }
}

TEST_F(InjectedFault, AWriteFailingAfterBytesWentOutStillCleansUp) {
    // Only the second time the write step is asked: by then bytes are in the temporary file.
    int asked = 0;
    SetReplaceFaultHook([&](ReplaceStep step) { return step == ReplaceStep::Write && ++asked == 2; });
    ExpectFailureLeavesEverything(files.Writers(FileErrorText(EIO))[0]);
    SetReplaceFaultHook(nullptr);
    EXPECT_GE(asked, 2);
}

} // namespace
} // namespace kv::faults
