#pragma once

#include "erm/splice.h"
#include "model/project.h"
#include "project/settings.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"
#include "text/error.h"
#include "text/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kv::faults {

// A project of `dialogs` dialogs with every field the compile writes, the same for each number.
Project SampleProject(int dialogs);

// Makes the safe replace fail at one step while it lives.
class FaultAt {
public:
    explicit FaultAt(ReplaceStep step);
    ~FaultAt();
    FaultAt(const FaultAt&) = delete;
    FaultAt& operator=(const FaultAt&) = delete;
    // How often the failing step was reached: a fault that never fired proves nothing.
    int fired() const { return *fired_; }

private:
    std::shared_ptr<int> fired_;
};

constexpr ReplaceStep kAllSteps[] = {ReplaceStep::CreateTemporary, ReplaceStep::Write,
                                     ReplaceStep::Flush, ReplaceStep::PutInPlace};

// The three ways the program writes a file, each over a file that holds `old` bytes. `run` writes
// the new content and throws on failure; `message` is a part that its error text must hold.
struct FileWriter {
    std::string name;
    std::string path;
    std::function<void()> run;
    std::string message;
    std::function<bool()> stillModified; // for the save: Modified after the attempt
};

// Runs the writer expecting it to fail and checks what every failure must leave: the error with
// the user's text, the old file byte for byte (or no file if there was none), no stray file in its
// folder, and Modified still set after a failed save.
void ExpectFailureLeavesEverything(const FileWriter& writer);

// The three files the program writes, already there with content of an earlier run: the project
// (quest.tlk), its script (quest.erm, the user's text and an old generated region) and the
// settings (korvanthiel.ini, with a section of the user's). The project in memory has unsaved
// changes.
class ThreeFiles {
public:
    explicit ThreeFiles(const std::filesystem::path& folder);
    std::vector<FileWriter> Writers(const std::string& saveMessage);

    Project project = SampleProject(3);
    Settings settings;
    std::string tlk, erm, ini;
    static const std::string kUserText; // the script's text above the marker
};

} // namespace kv::faults
