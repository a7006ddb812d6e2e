#include "check/check_project.h"

#include "erm/generator.h"
#include "model/flat_table.h"

#include <algorithm>
#include <string_view>

namespace kv {

std::optional<FieldId> FieldOf(ProblemField field) {
    switch (field) {
    case ProblemField::None:
        return std::nullopt;
    case ProblemField::FunctionNumber:
        return FieldId::FunctionNumber;
    case ProblemField::Header:
        return FieldId::Header;
    case ProblemField::VariantEscape:
        return FieldId::VariantEscape;
    case ProblemField::VariantDefault:
        return FieldId::VariantDefault;
    case ProblemField::Caption:
        return FieldId::Variant;
    case ProblemField::FollowUp:
        return FieldId::Function;
    case ProblemField::FailOn:
        return FieldId::FailOn;
    case ProblemField::Skill:
        return FieldId::Skill;
    case ProblemField::Slevel:
        return FieldId::Slevel;
    }
    return std::nullopt;
}

namespace {

constexpr int kSkillCountLevel = 3;
constexpr int kManyCallers = -2;

std::string Number(std::int64_t n) {
    return std::to_string(n);
}

bool HasCaret(std::string_view text) {
    return text.find('^') != std::string_view::npos;
}

// A requirement that can fail sends the choice to the escape answer: a skill level test or a
// cost (a skill without a level only hides the answer).
bool CanFail(const TVariantData& v) {
    if (v.Skill > 0 && v.Slevel > 0) return true;
    for (int r = 0; r < kResourceCount; ++r)
        if (v.Cost(r) > 0) return true;
    return false;
}

// The functions that lead somewhere: for each number, the position of the one dialog whose
// answers or ERM call it, or kManyCallers when two or more do.
class Callers {
public:
    explicit Callers(std::size_t dialogs) : callers_(dialogs) {}

    void Add(std::int32_t function, int caller) {
        auto [first, added] = callers_.TryEmplace(function, caller);
        if (!added && first != caller) first = kManyCallers;
    }
    // Whether a dialog other than `self` calls the function.
    bool OtherThan(std::int32_t function, int self) const {
        const int* caller = callers_.Find(function);
        return caller && *caller != self;
    }

private:
    FlatTable<std::int32_t, int> callers_;
};

class Checker {
public:
    Checker(const Project& project, const ScriptFacts& script)
        : project_(project), script_(script), callers_(std::size_t(project.DialogCount())),
          firstWithNumber_(std::size_t(project.DialogCount())) {}

    std::vector<Problem> Run() {
        CheckScript();
        CollectNumbersAndCalls();
        int position = 0;
        for (const TDialogItem* d = project_.Dialogs(); d; d = d->Next, ++position)
            CheckDialog(*d, position);
        return std::move(problems_);
    }

private:
    void Add(Severity severity, const TDialogItem* dialog, int position, int slot,
             ProblemField field, std::string message) {
        problems_.push_back(Problem{severity, position, dialog ? dialog->FunctionNumber : 0,
                                    slot + 1, field, std::move(message)});
    }
    void AddError(const TDialogItem& d, int slot, ProblemField field, std::string message) {
        Add(Severity::Error, &d, position_, slot, field, std::move(message));
    }
    void AddWarning(const TDialogItem& d, int slot, ProblemField field, std::string message) {
        Add(Severity::Warning, &d, position_, slot, field, std::move(message));
    }

    void CheckScript() {
        std::string message;
        switch (script_.state) {
        case ScriptFacts::State::NotChosen:
            message = "файл скрипта не выбран: компилировать некуда";
            break;
        case ScriptFacts::State::Missing:
            message = "файл скрипта не найден";
            break;
        case ScriptFacts::State::Unreadable:
            message = "файл скрипта не читается: " + script_.readError;
            break;
        case ScriptFacts::State::NoMarker:
            message = "в файле скрипта еще нет строки-маркера: компиляция допишет код в конец "
                      "файла";
            break;
        case ScriptFacts::State::Marked:
            return;
        }
        Add(Severity::Warning, nullptr, -1, -1, ProblemField::None, std::move(message));
    }

    // Which dialog first holds each number, and who calls what: the answers' follow-ups and the
    // calls in the dialogs' own ERM text.
    void CollectNumbersAndCalls() {
        const auto count = std::size_t(project_.DialogCount());
        // A link's number comes from this table, filled in one walk of the list, rather than
        // from the linked record: records are large and scattered, and reading one per link
        // would be most of the time a large project's check takes.
        FlatTable<const TDialogItem*, std::int32_t> numberOf(count);
        int position = 0;
        for (const TDialogItem* d = project_.Dialogs(); d; d = d->Next, ++position) {
            firstWithNumber_.TryEmplace(d->FunctionNumber, position);
            numberOf.TryEmplace(d, d->FunctionNumber);
        }
        ScriptFacts ownCode;
        position = 0;
        for (const TDialogItem* d = project_.Dialogs(); d; d = d->Next, ++position) {
            for (std::size_t k = 0; k < kSlotCount; ++k) {
                if (const TDialogItem* link = d->LinkDialog[k]) {
                    const std::int32_t* number = numberOf.Find(link);
                    callers_.Add(number ? *number : link->FunctionNumber,
                                 position);
                } else if (d->Function[k] != 0) {
                    callers_.Add(d->Function[k], position);
                }
            }
            if (d->ScriptBefore.empty() && d->ScriptAfter.empty()) continue;
            ownCode.called.clear();
            ScanErmText(d->ScriptBefore.view(), ownCode);
            ScanErmText(d->ScriptAfter.view(), ownCode);
            for (std::int32_t called : ownCode.called)
                callers_.Add(called, position);
        }
    }

    void CheckDialog(const TDialogItem& d, int position) {
        position_ = position;
        const std::int32_t n = d.FunctionNumber;
        const int first = *firstWithNumber_.Find(n);
        if (first != position) {
            AddError(d, -1, ProblemField::FunctionNumber,
                     "номер функции уже у диалога №" + Number(first + 1) +
                         " в списке: игра выполнит обе функции");
        }
        if (script_.defined.contains(n)) {
            AddError(d, -1, ProblemField::FunctionNumber,
                     "функцию " + Number(n) + " уже определяет сам скрипт (!?FU" + Number(n) +
                         " выше маркера)");
        }
        if (position > 0 && !callers_.OtherThan(n, position) && !script_.called.contains(n)) {
            AddWarning(
                d, -1, ProblemField::None,
                "к диалогу не ведет ни один ответ других диалогов и ни один вызов в скрипте");
        }
        if (HasCaret(d.Header.view())) {
            AddError(d, -1, ProblemField::Header, "знак ^ в заголовке обрывает строку ERM");
        }
        if (d.SlotInUse(0)) CheckMasks(d);
        CheckAnswers(d);
    }

    // The escape and default answers, for a dialog that writes its choice code and so its masks.
    void CheckMasks(const TDialogItem& d) {
        const int escape = d.VariantEscape;
        const int preset = d.VariantDefault;
        if (escape > kLargestEscape) {
            AddError(d, -1, ProblemField::VariantEscape,
                     MaskOutOfRangeText("VariantEscape", escape, kLargestEscape));
        } else if ((escape >= kSlotCount || !d.SlotInUse(escape)) &&
                   std::any_of(d.Variants.begin(), d.Variants.end(), CanFail)) {
            AddWarning(d, -1, ProblemField::VariantEscape,
                       "VariantEscape = " + Number(escape) +
                           " указывает на пустой ответ, а требования ответов могут не выполниться");
        }
        if (preset > kLargestDefault) {
            AddError(d, -1, ProblemField::VariantDefault,
                     MaskOutOfRangeText("VariantDefault", preset, kLargestDefault));
        } else if (preset > 0 && (preset > kSlotCount || !d.SlotInUse(preset - 1))) {
            AddWarning(d, -1, ProblemField::VariantDefault,
                       "VariantDefault = " + Number(preset) + " указывает на пустой ответ");
        }
    }

    void CheckAnswers(const TDialogItem& d) {
        const int end = d.SlotEnd();
        for (int k = 0; k < end; ++k) {
            if (!d.SlotInUse(k)) {
                AddWarning(d, k, ProblemField::Caption,
                           k == 0 ? "первый ответ пуст, а следующие заполнены: диалог покажет "
                                    "сообщение без выбора"
                                  : "пустой ответ между заполненными: пустая строка в выборе");
                continue;
            }
            const auto slot = std::size_t(k);
            const TVariantData& v = d.Variants[slot];
            if (HasCaret(d.Variant[slot].view())) {
                AddError(d, k, ProblemField::Caption, "знак ^ в тексте ответа обрывает строку ERM");
            }
            if (!v.FailOn.empty()) {
                const char sign = v.FailOn.view().front();
                if (sign != '&' && sign != '|') {
                    AddError(d, k, ProblemField::FailOn,
                             "условие скрытия (FailOn) должно начинаться с & или |");
                }
                if (HasCaret(v.FailOn.view())) {
                    AddError(d, k, ProblemField::FailOn,
                             "знак ^ в условии скрытия (FailOn) обрывает строку ERM");
                }
            }
            const std::int32_t next = d.Function[slot];
            if (!d.LinkDialog[slot] && next != 0 && !firstWithNumber_.Contains(next) &&
                !script_.defined.contains(next)) {
                AddWarning(d, k, ProblemField::FollowUp,
                           "ответ ведет к функции " + Number(next) +
                               ", которой нет ни в проекте, ни в скрипте");
            }
            if (v.Skill > kSkillCount) {
                AddWarning(d, k, ProblemField::Skill,
                           "номер навыка " + Number(v.Skill) + " больше " + Number(kSkillCount));
            }
            if (v.Skill > 0 && v.Slevel > kSkillCountLevel) {
                AddWarning(d, k, ProblemField::Slevel,
                           "уровень навыка " + Number(v.Slevel) + " больше " +
                               Number(kSkillCountLevel) + ": требование не выполнится никогда");
            }
        }
    }

    const Project& project_;
    const ScriptFacts& script_;
    Callers callers_;
    FlatTable<std::int32_t, int> firstWithNumber_;
    std::vector<Problem> problems_;
    int position_ = 0;
};

} // namespace

std::vector<Problem> CheckProject(const Project& project, const ScriptFacts& script) {
    return Checker(project, script).Run();
}

int CountErrors(const std::vector<Problem>& problems) {
    return static_cast<int>(std::count_if(problems.begin(), problems.end(), [](const Problem& p) {
        return p.severity == Severity::Error;
    }));
}

} // namespace kv
