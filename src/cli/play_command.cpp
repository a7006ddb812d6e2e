// `play`: runs dialogs of a project as their compiled code would run in the game, so that an
// author tries a quest from a build script without starting the game. A readable transcript in
// Russian, or one JSON object a line per step for a script to compare.
#include "cli/commands.h"
#include "play/simulator.h"
#include "play/transcript.h"
#include "text/cp1251.h"
#include "text/error.h"
#include "text/whole_number.h"

#include <iostream>
#include <sstream>

namespace kv::cli {

namespace {

struct PlayOptions {
    std::string projectPath;
    std::optional<std::int32_t> start;
    std::vector<int> choices;
    HeroState hero;
    bool json = false;
    bool assumeHidden = false;
};

// "1,3,2": answer numbers 1..12; nothing for any other text.
std::optional<std::vector<int>> ReadChoices(const std::string& text) {
    std::vector<int> choices;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        const auto k = ParseWholeNumber(item);
        if (!k || *k < 1 || *k > kSlotCount || item.find_first_not_of("0123456789") != item.npos)
            return {};
        choices.push_back(*k);
    }
    if (choices.empty() || text.back() == ',') return {};
    return choices;
}

bool LooksLikeSetting(const std::string& arg) {
    const std::size_t equals = arg.find('=');
    return equals != std::string::npos && equals > 0 && arg[0] != '-';
}

// Reads the arguments; false on wrong usage (a message already printed for a bad setting).
bool ReadOptions(const std::vector<std::string>& args, PlayOptions& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--start") {
            if (!hasValue || options.start) return false;
            options.start = ParseWholeNumber(args[++i]);
            if (!options.start) return false;
        } else if (arg == "--choose") {
            if (!hasValue) return false;
            const auto choices = ReadChoices(args[++i]);
            if (!choices) return false;
            options.choices.insert(options.choices.end(), choices->begin(), choices->end());
        } else if (arg == "--set") {
            // One or more NAME=VALUE after it: --set gold=500 skill5=2
            if (!hasValue || !LooksLikeSetting(args[i + 1])) return false;
            while (i + 1 < args.size() && LooksLikeSetting(args[i + 1])) {
                const std::string& setting = args[++i];
                const std::size_t equals = setting.find('=');
                const auto value = ParseWholeNumber(setting.substr(equals + 1));
                if (!value) return false;
                try {
                    SetHeroValue(options.hero, setting.substr(0, equals), *value);
                } catch (const Error& e) {
                    std::cerr << "korvanthiel-cli: " << e.what() << "\n";
                    return false;
                }
            }
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--assume-hidden") {
            options.assumeHidden = true;
        } else if (options.projectPath.empty() && !arg.empty() && arg[0] != '-') {
            options.projectPath = arg;
        } else {
            return false;
        }
    }
    return !options.projectPath.empty();
}

// A JSON string of Windows-1251 bytes: UTF-8, with quotes, backslashes and control bytes escaped.
std::string JsonString(const std::string& cp1251) {
    std::string out = "\"";
    for (char c : Cp1251ToUtf8(cp1251)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string NumberOrNull(int value) {
    return value > 0 ? std::to_string(value) : "null";
}

template <class Items, class Write> std::string JsonList(const Items& items, Write write) {
    std::string out = "[";
    for (const auto& item : items) {
        if (out.size() > 1) out += ',';
        out += write(item);
    }
    return out + "]";
}

void PrintJson(const Step& step) {
    std::string line = "{\"function\":" + std::to_string(step.showing.function);
    line +=
        ", \"shown\":" + JsonList(step.showing.Offered(), [](int k) { return std::to_string(k); });
    line += ", \"chosen\":" + NumberOrNull(step.chosen);
    line += ", \"applied\":" + NumberOrNull(step.applied);
    line += ", \"messages\":" + JsonList(step.messages, JsonString);
    line += ", \"resources\":{";
    for (int r = 0; r < kResourceCount; ++r) {
        line += (r > 0 ? ", \"" : "\"") + std::string(ResourceKey(r)) +
                "\":" + std::to_string(step.after.resources[static_cast<std::size_t>(r)]);
    }
    line += "}, \"variables\":{";
    bool first = true;
    for (const auto& [n, value] : step.after.variables) {
        line += (first ? "\"" : ", \"") + std::to_string(n) + "\":" + std::to_string(value);
        first = false;
    }
    line += "}, \"artefacts\":" +
            JsonList(step.after.artefacts, [](std::uint16_t a) { return std::to_string(a); });
    line += ", \"next\":" + (step.next ? std::to_string(*step.next) : std::string("null")) + "}";
    std::cout << line << "\n";
}

} // namespace

int Play(const std::vector<std::string>& args) {
    PlayOptions options;
    if (!ReadOptions(args, options)) return Usage();

    const Project project = ReadAnyProject(options.projectPath);
    const TDialogItem* start =
        options.start ? project.FindByFunction(*options.start) : project.Dialogs();
    if (!start) {
        throw Error(options.start ? "Нет такой функции: " + std::to_string(*options.start)
                                  : std::string("В проекте нет диалогов"));
    }
    const bool assumeHidden = options.assumeHidden;
    const Playthrough run =
        PlayRun(project, *start, options.choices, options.hero,
                [assumeHidden](const TDialogItem&, int) { return assumeHidden; });

    for (const Step& step : run.steps) {
        if (options.json)
            PrintJson(step);
        else
            std::cout << StepText(step);
    }
    if (!options.json && run.end != RunEnd::NotOffered)
        std::cout << RunEndText(run.end, run.steps.back()) << "\n";

    if (run.choicesMade < static_cast<int>(options.choices.size())) {
        const int choice = options.choices[static_cast<std::size_t>(run.choicesMade)];
        std::cerr << "korvanthiel-cli: вариант " << choice
                  << (run.end == RunEnd::NotOffered
                          ? " не предлагается в функции " +
                                std::to_string(run.steps.back().showing.function)
                          : std::string(" не выбран: проигрыш окончился раньше"))
                  << "\n";
        return 1;
    }
    return 0;
}

} // namespace kv::cli
