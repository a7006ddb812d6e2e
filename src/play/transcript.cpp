#include "play/transcript.h"

#include "erm/batch_edits.h"
#include "text/cp1251.h"

#include <sstream>

namespace kv {

namespace {

std::string Utf8(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251);
}

void AppendIndented(std::string& out, const std::string& text) {
    std::istringstream lines(Utf8(text));
    std::string line;
    while (std::getline(lines, line))
        out += (line.empty() ? "" : "    ") + line + "\n";
}

} // namespace

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

std::string HeroText(const HeroState& hero) {
    std::string resources;
    for (int r = 0; r < kResourceCount; ++r) {
        const std::int64_t amount = hero.resources[static_cast<std::size_t>(r)];
        if (amount == 0) continue;
        resources +=
            (resources.empty() ? "" : ", ") + Utf8(ResourceName(r)) + " " + std::to_string(amount);
    }
    std::string out = "  Ресурсы: " + (resources.empty() ? std::string("нет") : resources) + "\n";
    if (!hero.variables.empty()) {
        out += "  Переменные:";
        for (const auto& [n, value] : hero.variables)
            out += " v" + std::to_string(n) + "=" + std::to_string(value);
        out += "\n";
    }
    if (!hero.artefacts.empty()) {
        out += "  Артефакты:";
        for (std::uint16_t a : hero.artefacts)
            out += " " + std::to_string(a);
        out += "\n";
    }
    return out;
}

std::string StepText(const Step& step) {
    const Showing& s = step.showing;
    std::string out = "Функция " + std::to_string(s.function) + (s.hint.empty() ? "" : ": ") +
                      Utf8(s.hint) + "\n";
    if (!s.scriptBefore.empty())
        out += "  Скрипт до сообщения (не выполняется): " + Utf8(s.scriptBefore) + "\n";
    if (!s.message.empty()) {
        out += "  Сообщение:\n";
        AppendIndented(out, s.message);
    }
    if (!s.scriptAfter.empty())
        out += "  Скрипт после сообщения (не выполняется): " + Utf8(s.scriptAfter) + "\n";
    if (!s.offersChoice) return out + "  Выбора нет: у диалога нет первого варианта.\n";
    if (!s.header.empty()) out += "  " + Utf8(s.header) + "\n";
    for (int k = 0; k < kSlotCount; ++k) {
        const AnswerView& answer = s.answers[static_cast<std::size_t>(k)];
        if (answer.caption.empty()) continue;
        out += std::string("  ") + (k + 1 == s.defaultAnswer ? "*" : " ") + std::to_string(k + 1) +
               ". " + Utf8(answer.caption);
        const std::string hidden = HiddenBecause(answer);
        if (!hidden.empty()) out += "  [" + hidden + "]";
        out += "\n";
    }
    if (step.chosen == 0) return out;
    out += "  Выбран вариант " + std::to_string(step.chosen);
    if (step.applied != step.chosen)
        out +=
            "; требование не выполнено, действует запасной вариант " + std::to_string(step.applied);
    out += ".\n";
    // The dialog's own message opens the list; the rest came after the choice.
    for (std::size_t i = s.message.empty() ? 0 : 1; i < step.messages.size(); ++i)
        out += "  > " + Utf8(step.messages[i]) + "\n";
    return out + HeroText(step.after);
}

std::string RunEndText(RunEnd end, const Step& last) {
    switch (end) {
    case RunEnd::ChoicesUsed:
        return "Выборы закончились.";
    case RunEnd::NoChoice:
        return "Диалог не предлагает выбора.";
    case RunEnd::NoFollowUp:
        return "Ответ не вызывает другой функции.";
    case RunEnd::LeftProject:
        return "Игра вызвала бы функцию " + std::to_string(last.next.value_or(0)) +
               ": в проекте такого диалога нет.";
    case RunEnd::NotOffered:
        break;
    }
    return {};
}

} // namespace kv
