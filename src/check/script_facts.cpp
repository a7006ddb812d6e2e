#include "check/script_facts.h"

#include "erm/splice.h"
#include "text/error.h"
#include "text/file_io.h"

#include <limits>

namespace kv {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The function number that follows a receiver at `at`; false when there is none (a call through
// a variable, "!!FUv5:P;", or a number too long to be one).
bool ReadNumber(std::string_view text, std::size_t at, std::int32_t& number) {
    std::int64_t value = 0;
    std::size_t end = at;
    while (end < text.size() && IsDigit(text[end]) && end - at < 10) {
        value = value * 10 + (text[end] - '0');
        ++end;
    }
    if (end == at || value > std::numeric_limits<std::int32_t>::max() ||
        (end < text.size() && IsDigit(text[end])))
        return false;
    number = static_cast<std::int32_t>(value);
    return true;
}

} // namespace

void ForEachFunctionMention(std::string_view text,
                            const std::function<void(const ErmFunctionMention&)>& visit) {
    // Every ERM command starts with "!!" (a receiver) or "!?" (a trigger); the game reads them
    // wherever they stand, in comments too, so a plain scan finds what the game finds.
    for (std::size_t at = text.find('!'); at != std::string_view::npos;
         at = text.find('!', at + 1)) {
        if (at + 4 >= text.size()) break;
        const char kind = text[at + 1];
        const std::string_view receiver = text.substr(at + 2, 2);
        std::int32_t number = 0;
        if (kind == '?' && receiver == "FU" && ReadNumber(text, at + 4, number)) {
            visit({false, number, at});
        } else if (kind == '!' && (receiver == "FU" || receiver == "DO") &&
                   ReadNumber(text, at + 4, number)) {
            visit({true, number, at});
        }
    }
}

void ScanErmText(std::string_view text, ScriptFacts& facts) {
    ForEachFunctionMention(text, [&facts](const ErmFunctionMention& m) {
        (m.call ? facts.called : facts.defined).insert(m.number);
    });
}

ScriptFacts ScanScript(std::string_view script) {
    ScriptFacts facts;
    const std::size_t marker = FindMarker(script);
    facts.state = marker == std::string_view::npos ? ScriptFacts::State::NoMarker
                                                   : ScriptFacts::State::Marked;
    ScanErmText(script.substr(0, marker), facts);
    return facts;
}

ScriptFacts ReadScriptFacts(const std::string& path) {
    ScriptFacts facts;
    if (path.empty()) return facts;
    if (!FileExists(path)) {
        facts.state = ScriptFacts::State::Missing;
    } else {
        try {
            facts = ScanScript(ReadWholeFile(path));
        } catch (const Error& e) {
            facts.state = ScriptFacts::State::Unreadable;
            facts.readError = e.what();
        }
    }
    facts.path = path;
    return facts;
}

} // namespace kv
