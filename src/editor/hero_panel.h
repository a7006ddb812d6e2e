#pragma once

#include "play/hero_state.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

namespace kv {

// The hero of a played dialog as the author sets it up: the levels of the 28 skills, the eight
// resources and the v-variables (a table with add and remove), in three tabs, and the artefacts
// given so far below them. Every change the author makes is announced at once as the whole new
// state; the artefacts come only from the run.
class HeroPanel : public QWidget {
    Q_OBJECT

public:
    explicit HeroPanel(QWidget* parent = nullptr);

    // Shows a state; announces nothing.
    void SetHero(const HeroState& hero);
    const HeroState& Hero() const { return hero_; }

    QTabWidget* Tabs;
    std::array<QSpinBox*, kSkillCount> Skills;
    std::array<QSpinBox*, kResourceCount> Resources;
    QTableWidget* Variables; // "Переменная" (as "v7") and "Значение"
    QPushButton* AddVariable;
    QPushButton* RemoveVariable;
    QLabel* Artefacts;

signals:
    void HeroEdited(const kv::HeroState& hero);

private:
    void Edited();
    void VariableEdited();
    void FillVariables();

    HeroState hero_;
    bool filling_ = false; // the panel is showing a state, not being edited
};

} // namespace kv
