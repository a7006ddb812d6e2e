#pragma once

#include "editor/modal_seam.h"

#include <deque>
#include <functional>
#include <vector>

namespace kv::test {

// A modal seam that answers from a script written by the test, in order, and records every
// modal step the window took. A step that comes unscripted, or of another kind than scripted,
// fails the test and is answered with Cancel, so no test ever blocks.
class ScriptedSeam : public ModalSeam {
public:
    enum class Kind { Message, Question, Prompt, OpenFile, SaveFile, TextEditor };

    struct Call {
        Call(Kind k, QString t, QString c = QString(), MessageIcon i = MessageIcon::Information)
            : kind(k), text(std::move(t)), caption(std::move(c)), icon(i) {}
        Kind kind;
        QString text;    // message or prompt text; file dialog title
        QString caption; // message caption; prompt caption
        MessageIcon icon = MessageIcon::Information;
        FileDialogRequest file;
        QString preset;
    };

    ScriptedSeam& ExpectMessage() { return Push(Step(Kind::Message)); }
    ScriptedSeam& ExpectQuestion(MessageAnswer answer) {
        Step s(Kind::Question);
        s.answer = answer;
        return Push(s);
    }
    ScriptedSeam& ExpectPrompt(std::optional<QString> reply) { return PushReply(Kind::Prompt, reply); }
    ScriptedSeam& ExpectOpen(std::optional<QString> reply) { return PushReply(Kind::OpenFile, reply); }
    ScriptedSeam& ExpectSave(std::optional<QString> reply) { return PushReply(Kind::SaveFile, reply); }
    // The action runs while the text editor window is "modal": it drives the window and must
    // close it.
    ScriptedSeam& ExpectTextEditor(std::function<void(TForm2&)> action) {
        Step s(Kind::TextEditor);
        s.editor = std::move(action);
        return Push(s);
    }

    bool Finished() const { return steps_.empty(); }
    const std::vector<Call>& Calls() const { return calls_; }
    const Call* LastCall() const { return calls_.empty() ? nullptr : &calls_.back(); }
    int Count(Kind kind) const;
    void Reset() {
        steps_.clear();
        calls_.clear();
    }

    void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) override;
    MessageAnswer AskYesNoCancel(const QString& text, const QString& caption) override;
    std::optional<QString> InputPrompt(const QString& caption, const QString& prompt,
                                       const QString& preset) override;
    std::optional<QString> OpenFile(const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(const FileDialogRequest& request) override;
    void RunTextEditor(TForm2& window) override;

private:
    struct Step {
        explicit Step(Kind k) : kind(k) {}
        Kind kind;
        MessageAnswer answer = MessageAnswer::Cancel;
        std::optional<QString> reply;
        std::function<void(TForm2&)> editor;
    };
    ScriptedSeam& Push(const Step& step) {
        steps_.push_back(step);
        return *this;
    }
    ScriptedSeam& PushReply(Kind kind, std::optional<QString> reply) {
        Step s(kind);
        s.reply = std::move(reply);
        return Push(s);
    }
    // The next scripted step when it is of this kind; null otherwise (the test has failed).
    std::optional<Step> Take(const Call& call);

    std::deque<Step> steps_;
    std::vector<Call> calls_;
};

} // namespace kv::test
