// The project-file reader on arbitrary bytes: it either fails with the user's text or gives a
// project whose links are rebuilt and which a save and a second load give back unchanged.
#include "fuzz_check.h"

#include "project/tlk_file.h"
#include "text/error.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kv;
    const std::string_view bytes = fuzz::Bytes(data, size);
    // Read in parts side by side, wherever the parts' borders fall, the bytes give what one
    // reading gives: the same project, or the same error on the same line.
    auto outcome = [&](std::size_t parts) {
        try {
            return SerializeProject(ParseProject(bytes, parts));
        } catch (const ProjectFileError& e) {
            return std::string(e.what()) + " on line " + std::to_string(e.line());
        }
    };
    fuzz::Require(outcome(3) == outcome(1), "reading in parts gave another result");

    Project project;
    try {
        project = ParseProject(bytes);
    } catch (const Error& e) {
        std::string message = e.what();
        fuzz::Require(message == "Invalid numeric input" ||
                          message.rfind("Слишком много диалогов", 0) == 0,
                      "the reader failed with another text");
        return 0;
    }
    fuzz::Require(!project.Modified, "a loaded project counts as modified");
    fuzz::RequireLinksRebuilt(project);

    // Whatever the reader made of the bytes, saving it is a file that loads as the same project.
    std::string saved = SerializeProject(project);
    std::size_t lines = 0;
    for (std::size_t i = 0; i + 1 < saved.size(); ++i) lines += saved[i] == '\r' && saved[i + 1] == '\n';
    fuzz::Require(saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0,
                  "a saved file does not end with CR LF");
    Project again = ParseProject(saved);
    fuzz::Require(again.DialogCount() == project.DialogCount(), "a reload changed the dialog count");
    fuzz::Require(again.FunctionStart == project.FunctionStart && again.ScriptFile == project.ScriptFile,
                  "a reload changed the project values");
    fuzz::Require(SerializeProject(again) == saved, "a reload changed the saved bytes");
    fuzz::Require(lines >= 2 + 336 * static_cast<std::size_t>(project.DialogCount()),
                  "a saved file has fewer lines than its dialogs need");
    return 0;
}
