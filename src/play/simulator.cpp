#include "play/simulator.h"

#include "erm/batch_edits.h"
#include "erm/generator.h"
#include "play/condition.h"
#include "text/cp1251.h"
#include "text/error.h"

namespace kv {

namespace {

// ERM's v-variables are signed 32-bit and wrap around.
std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// A resource message: the text, then the picture the game shows beside it, as words.
std::string ResourceMessage(const std::string& text, int r, int amount) {
    return text + " " + ResourceName(r) + " " + std::to_string(amount);
}

// The effect pass of the answer in `slot`, in the order of its lines: costs, rewards, the
// variable, the artefact, and the follow-up call last.
void ApplyEffects(const Project& project, const TDialogItem& dialog, int slot, Step& step,
                  HeroState& hero) {
    const GameTexts& texts = RussianGameTexts();
    const TVariantData& v = dialog.Variants[static_cast<std::size_t>(slot)];
    for (int r = 0; r < kResourceCount; ++r)
        hero.resources[static_cast<std::size_t>(r)] -= v.Cost(r);
    for (int r = 0; r < kResourceCount; ++r) {
        if (v.Reward(r) == 0) continue;
        hero.resources[static_cast<std::size_t>(r)] += v.Reward(r);
        step.messages.push_back(ResourceMessage(texts.youGet, r, v.Reward(r)));
    }
    if (v.Variable > 0) {
        // A change of 0 means "set": the generator writes the set value then, also when it is 0.
        hero.SetVariable(v.Variable, v.DVariable != 0
                                         ? WrappingAdd(hero.Variable(v.Variable), v.DVariable)
                                         : v.SVariable);
    }
    if (v.Artefact > 0) {
        hero.artefacts.push_back(v.Artefact);
        step.messages.push_back(texts.youGet + " " + texts.artefact + " " +
                                std::to_string(v.Artefact));
    }
    if (dialog.HasFollowUp(slot)) {
        step.next = dialog.FollowUp(slot);
        step.nextDialog = project.FindByFunction(*step.next);
    }
}

} // namespace

std::vector<int> Showing::Offered() const {
    std::vector<int> offered;
    for (int k = 0; k < kSlotCount; ++k)
        if (answers[static_cast<std::size_t>(k)].offered) offered.push_back(k + 1);
    return offered;
}

Showing ShowDialog(const TDialogItem& dialog, HeroState& hero, const UnknownCondition& unknown) {
    Showing shown;
    shown.function = dialog.FunctionNumber;
    shown.hint = dialog.Hint.str();
    shown.scriptBefore = dialog.ScriptBefore.str();
    AppendMessageText(shown.message, dialog);
    shown.scriptAfter = dialog.ScriptAfter.str();
    shown.offersChoice = dialog.SlotInUse(0);
    if (!shown.offersChoice) return shown;

    shown.header = dialog.Header.str();
    shown.defaultAnswer = dialog.VariantDefault <= kSlotCount ? dialog.VariantDefault : 0;
    for (int k = 0; k < kSlotCount; ++k) {
        const TVariantData& v = dialog.Variants[static_cast<std::size_t>(k)];
        AnswerView& answer = shown.answers[static_cast<std::size_t>(k)];
        answer.caption = dialog.Variant[static_cast<std::size_t>(k)].str();
        answer.skill = v.Skill;
        answer.condition = v.FailOn.str();
        if (v.Skill > 0) {
            // The code reads the level into v1, which the player's scripts see afterwards.
            const int level = hero.SkillLevel(v.Skill);
            hero.SetVariable(1, level);
            answer.lacksSkill = level == 0;
        }
        if (!v.FailOn.empty()) {
            const std::optional<bool> holds = EvaluateCondition(v.FailOn.view(), hero);
            answer.conditionUnknown = !holds.has_value();
            // An unknown condition matters only for a caption still there; no need to ask.
            const bool stillShown = !answer.caption.empty() && !answer.lacksSkill;
            answer.conditionHolds = holds ? *holds : stillShown && unknown && unknown(dialog, k);
        }
        answer.offered = !answer.caption.empty() && !answer.lacksSkill && !answer.conditionHolds;
    }
    return shown;
}

Step StopAt(const Showing& showing, const HeroState& hero) {
    Step step;
    step.showing = showing;
    if (!showing.message.empty()) step.messages.push_back(showing.message);
    step.after = hero;
    return step;
}

Step Choose(const Project& project, const TDialogItem& dialog, const Showing& showing, int answer,
            HeroState& hero) {
    if (answer < 1 || answer > kSlotCount ||
        !showing.answers[static_cast<std::size_t>(answer - 1)].offered) {
        throw Error("Вариант " + std::to_string(answer) + " не предлагается в функции " +
                    std::to_string(showing.function));
    }
    const GameTexts& texts = RussianGameTexts();
    Step step = StopAt(showing, hero);
    step.chosen = answer;
    const int slot = answer - 1;
    // The choice dialog returns the chosen answer's mask in v1.
    hero.SetVariable(1, static_cast<std::int32_t>(VariantMask(slot)));

    // The requirement pass: every failed test shows its message and redirects to the escape
    // answer; the tests go on after a failure, so several messages may show.
    bool failed = false;
    const TVariantData& v = dialog.Variants[static_cast<std::size_t>(slot)];
    if (v.Skill > 0 && v.Slevel > 0 && hero.SkillLevel(v.Skill) < v.Slevel) {
        failed = true;
        step.messages.push_back(texts.failed + " (" + SkillName(v.Skill) + ")");
    }
    for (int r = 0; r < kResourceCount; ++r) {
        const int cost = v.Cost(r);
        if (cost > 0 && hero.resources[static_cast<std::size_t>(r)] < cost) {
            failed = true;
            step.messages.push_back(ResourceMessage(texts.needed, r, cost));
        }
    }
    // An escape number past the last slot names no answer: then nothing applies.
    step.applied = failed ? dialog.VariantEscape + 1 : answer;
    if (step.applied <= kSlotCount) ApplyEffects(project, dialog, step.applied - 1, step, hero);
    step.after = hero;
    return step;
}

Playthrough PlayRun(const Project& project, const TDialogItem& start,
                    const std::vector<int>& choices, HeroState hero,
                    const UnknownCondition& unknown) {
    Playthrough run;
    const TDialogItem* dialog = &start;
    while (true) {
        const Showing showing = ShowDialog(*dialog, hero, unknown);
        if (!showing.offersChoice || run.choicesMade == static_cast<int>(choices.size())) {
            run.steps.push_back(StopAt(showing, hero));
            run.end = showing.offersChoice ? RunEnd::ChoicesUsed : RunEnd::NoChoice;
            return run;
        }
        const int answer = choices[static_cast<std::size_t>(run.choicesMade)];
        if (answer < 1 || answer > kSlotCount ||
            !showing.answers[static_cast<std::size_t>(answer - 1)].offered) {
            run.steps.push_back(StopAt(showing, hero));
            run.end = RunEnd::NotOffered;
            return run;
        }
        run.steps.push_back(Choose(project, *dialog, showing, answer, hero));
        ++run.choicesMade;
        const Step& step = run.steps.back();
        if (!step.next || !step.nextDialog) {
            run.end = step.next ? RunEnd::LeftProject : RunEnd::NoFollowUp;
            return run;
        }
        dialog = step.nextDialog;
    }
}

} // namespace kv
