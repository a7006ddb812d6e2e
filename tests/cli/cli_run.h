#pragma once
// korvanthiel-cli driven as a build script drives it: the real binary in a folder of the test's
// own, its exit status and its output streams.
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace kvtest {

inline const std::string kEpoch = "TZ=UTC0 SOURCE_DATE_EPOCH=1700000000";

class CliRun : public ::testing::Test {
protected:
    // Runs the tool in `folder` (the test's own by default) with `env` before it; a shell line,
    // so no quote may stand in a path.
    int Run(const std::string& args, const std::string& env = kEpoch, std::string folder = "") {
        const std::string command = "cd '" + (folder.empty() ? dir.Root().string() : folder) +
                                    "' && env " + env + " '" KORV_CLI "' " + args + " >'" +
                                    captures.Path("out") + "' 2>'" + captures.Path("err") + "'";
        const int raw = std::system(command.c_str());
        out = ReadBytes(captures.Path("out"));
        err = ReadBytes(captures.Path("err"));
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }

    TempDir dir, captures;
    std::string out, err;
};

} // namespace kvtest
