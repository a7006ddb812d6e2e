#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace kv {

// What the checks need to know of the script a project compiles into: whether it is there and
// has its marker yet, and which functions the author's own text above the marker defines
// ("!?FU<n>") and calls ("!!FU<n>", "!!DO<n>"). The generated region below the marker is left
// out: the next compile rewrites it.
struct ScriptFacts {
    enum class State { NotChosen, Missing, Unreadable, NoMarker, Marked };
    State state = State::NotChosen;
    std::string path;      // UTF-8, as the caller named it
    std::string readError; // for Unreadable: why, in the user's words
    std::unordered_set<std::int32_t> defined;
    std::unordered_set<std::int32_t> called;
};

// One mention of a function in ERM text: a definition ("!?FU<n>") or a call ("!!FU<n>",
// "!!DO<n>"), and the byte offset of its "!" in the text.
struct ErmFunctionMention {
    bool call = false;
    std::int32_t number = 0;
    std::size_t offset = 0;
};

// Calls `visit` for every mention in the text, in the order they stand.
void ForEachFunctionMention(std::string_view text,
                            const std::function<void(const ErmFunctionMention&)>& visit);

// Collects the definitions and calls of ERM text into facts (a script's own text, or a dialog's
// ERM before and after its message).
void ScanErmText(std::string_view text, ScriptFacts& facts);

// The facts of a script's content: its text above the marker is scanned.
ScriptFacts ScanScript(std::string_view script);

// Reads the script at a UTF-8 path. An empty path, a missing file or one that cannot be read
// are facts too (the checks warn about them), so this never throws.
ScriptFacts ReadScriptFacts(const std::string& path);

} // namespace kv
