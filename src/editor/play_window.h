#pragma once

#include "play/play_session.h"

#include <QWidget>

#include <array>
#include <memory>
#include <set>
#include <utility>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace kv {

class HeroPanel;

// The window "Проигрыш диалога": plays the project from a dialog as its compiled code would run
// in the game. It shows the dialog's header, message and answers (a button each; an answer that
// is not offered is shown disabled with the reason, the default one is marked), the hero the
// author sets up, and the transcript of the steps so far, with Back and Restart. A hiding
// condition the simulator cannot read gets a check box beside its answer: the author says
// whether it holds. The run itself is the core's PlaySession; this window only shows it.
class PlayWindow : public QWidget {
    Q_OBJECT

public:
    // Plays from the dialog at list position `startPosition` (throws Error when there is none).
    // The project must outlive the window.
    PlayWindow(const Project& project, int startPosition, QWidget* parent = nullptr);
    ~PlayWindow() override;

    const PlaySession& Session() const { return *session_; }

    // After an edit of the project: the current dialog is shown again as it now stands.
    void ProjectChanged();
    void Choose(int answer); // 1..12, as a click on its button
    void Back();
    void Restart();

    QLabel* Title; // "Функция N: label"
    QLabel* Header;
    QLabel* ScriptBefore;
    QPlainTextEdit* Message;
    QLabel* ScriptAfter;
    QLabel* Status; // no choice, or how the run ended
    // The answer with a caption in each slot, null for the others, as the current dialog shows.
    std::array<QPushButton*, kSlotCount> Answers{};
    // The check box of an answer whose hiding condition the simulator cannot read; checked: it
    // holds and the answer is hidden.
    std::array<QCheckBox*, kSlotCount> Assumed{};
    HeroPanel* Hero;
    QPlainTextEdit* Transcript;
    QPushButton* BackButton;
    QPushButton* RestartButton;

signals:
    // The run entered the dialog at this list position (the outline may follow it).
    void DialogEntered(int dialogPosition);

private:
    void Show();
    void ShowAnswers();
    void ShowTranscript();
    void Entered();

    const Project& project_;
    // The answers the author said are hidden by a condition the simulator cannot read.
    std::set<std::pair<const TDialogItem*, int>> assumedHidden_;
    std::unique_ptr<PlaySession> session_;
    QWidget* answersBox_;
    QVBoxLayout* answersLayout_;
};

} // namespace kv
