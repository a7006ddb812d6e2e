// `play`: runs dialogs of a project as their compiled code would run in the game, so that an
// author tries a quest from a build script without starting the game. A readable transcript in
// Russian, or one JSON object a line per step for a script to compare.
#include "cli/commands.h"
#include "erm/batch_edits.h"
#include "play/simulator.h"
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

std::string Utf8(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251);
}

// Why an answer with a caption is not offered, or what was assumed for it; empty when offered
// without question.
std::string HiddenBecause(const AnswerView& answer) {
    if (answer.lacksSkill) return "скрыт: у героя нет навыка " + Utf8(SkillName(answer.skill));
    const std::string condition = Utf8(answer.condition);
    if (answer.conditionUnknown) {
        return answer.conditionHolds
                   ? "скрыт: условие " + condition + " не распознано, принято за выполненное"
                   : "условие " + condition + " не распознано, вариант показан";
    }
    return answer.conditionHolds ? "скрыт: выполнено условие " + condition : std::string();
}

void PrintHero(const HeroState& hero) {
    std::string resources;
    for (int r = 0; r < kResourceCount; ++r) {
        const std::int64_t amount = hero.resources[static_cast<std::size_t>(r)];
        if (amount == 0) continue;
        resources +=
            (resources.empty() ? "" : ", ") + Utf8(ResourceName(r)) + " " + std::to_string(amount);
    }
    std::cout << "  Ресурсы: " << (resources.empty() ? "нет" : resources) << "\n";
    if (!hero.variables.empty()) {
        std::cout << "  Переменные:";
        for (const auto& [n, value] : hero.variables)
            std::cout << " v" << n << "=" << value;
        std::cout << "\n";
    }
    if (!hero.artefacts.empty()) {
        std::cout << "  Артефакты:";
        for (std::uint16_t a : hero.artefacts)
            std::cout << " " << a;
        std::cout << "\n";
    }
}

void PrintIndented(const std::string& text) {
    std::istringstream lines(Utf8(text));
    std::string line;
    while (std::getline(lines, line))
        std::cout << (line.empty() ? "" : "    ") << line << "\n";
}

void PrintTranscript(const Step& step) {
    const Showing& s = step.showing;
    std::cout << "Функция " << s.function << (s.hint.empty() ? "" : ": ") << Utf8(s.hint) << "\n";
    if (!s.scriptBefore.empty())
        std::cout << "  Скрипт до сообщения (не выполняется): " << Utf8(s.scriptBefore) << "\n";
    if (!s.message.empty()) {
        std::cout << "  Сообщение:\n";
        PrintIndented(s.message);
    }
    if (!s.scriptAfter.empty())
        std::cout << "  Скрипт после сообщения (не выполняется): " << Utf8(s.scriptAfter) << "\n";
    if (!s.offersChoice) {
        std::cout << "  Выбора нет: у диалога нет первого варианта.\n";
        return;
    }
    if (!s.header.empty()) std::cout << "  " << Utf8(s.header) << "\n";
    for (int k = 0; k < kSlotCount; ++k) {
        const AnswerView& answer = s.answers[static_cast<std::size_t>(k)];
        if (answer.caption.empty()) continue;
        std::cout << "  " << (k + 1 == s.defaultAnswer ? "*" : " ") << (k + 1) << ". "
                  << Utf8(answer.caption);
        const std::string hidden = HiddenBecause(answer);
        if (!hidden.empty()) std::cout << "  [" << hidden << "]";
        std::cout << "\n";
    }
    if (step.chosen == 0) return;
    std::cout << "  Выбран вариант " << step.chosen;
    if (step.applied != step.chosen)
        std::cout << "; требование не выполнено, действует запасной вариант " << step.applied;
    std::cout << ".\n";
    // The dialog's own message opens the list; the rest came after the choice.
    for (std::size_t i = s.message.empty() ? 0 : 1; i < step.messages.size(); ++i)
        std::cout << "  > " << Utf8(step.messages[i]) << "\n";
    PrintHero(step.after);
}

void PrintEnd(const Playthrough& run) {
    const Step& last = run.steps.back();
    switch (run.end) {
    case RunEnd::ChoicesUsed:
        std::cout << "Выборы закончились.\n";
        break;
    case RunEnd::NoChoice:
        std::cout << "Диалог не предлагает выбора.\n";
        break;
    case RunEnd::NoFollowUp:
        std::cout << "Ответ не вызывает другой функции.\n";
        break;
    case RunEnd::LeftProject:
        std::cout << "Игра вызвала бы функцию " << *last.next
                  << ": в проекте такого диалога нет.\n";
        break;
    case RunEnd::NotOffered:
        break;
    }
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
            PrintTranscript(step);
    }
    if (!options.json) PrintEnd(run);

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
