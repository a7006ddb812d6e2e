#pragma once

#include "editor/modal_seam.h"
#include "editor/text_editor_window.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

namespace kv::test {

// A modal seam that answers from a script written by the test, in order, and records every modal
// step the window took. A step that comes unscripted, or of another kind than scripted, fails the
// test and is answered with Cancel, so no test ever blocks.
class ScriptedSeam : public ModalSeam {
public:
    enum class Kind { Message, Question, Prompt, OpenFile, SaveFile, TextEditor };
    struct Call {
        Kind kind;
        QString text = {}; // message or prompt text; file dialog title
        MessageIcon icon = MessageIcon::Information;
        QString preset = {}; // the prompt's preset text; the file dialog's preset file name
        QString folder = {}; // where a file dialog starts
    };

    ScriptedSeam& ExpectMessage() { return Push({.kind = Kind::Message}); }
    ScriptedSeam& ExpectQuestion(MessageAnswer a) { return Push({Kind::Question, a}); }
    ScriptedSeam& ExpectPrompt(std::optional<QString> r) { return Push({Kind::Prompt, {}, r}); }
    ScriptedSeam& ExpectOpen(std::optional<QString> r) { return Push({Kind::OpenFile, {}, r}); }
    ScriptedSeam& ExpectSave(std::optional<QString> r) { return Push({Kind::SaveFile, {}, r}); }
    // The action drives the text editor window while it is "modal", and must close it.
    ScriptedSeam& ExpectTextEditor(std::function<void(TForm2&)> action) {
        return Push({.kind = Kind::TextEditor, .editor = std::move(action)});
    }

    bool Finished() const { return steps_.empty(); }
    const Call& LastCall() const { return calls_.back(); }
    QStringList Texts(Kind kind) const { // of the calls of one kind, in order
        QStringList texts;
        for (const Call& c : calls_)
            if (c.kind == kind) texts << c.text;
        return texts;
    }

    void ShowMessage(const QString& text, const QString&, MessageIcon icon) override {
        Take({Kind::Message, text, icon});
    }
    MessageAnswer AskYesNoCancel(const QString& text, const QString&) override {
        std::optional<Step> step = Take({Kind::Question, text, MessageIcon::Warning});
        return step ? step->answer : MessageAnswer::Cancel;
    }
    bool AskYesNo(const QString& text, const QString&) override {
        std::optional<Step> step = Take({Kind::Question, text, MessageIcon::Warning});
        return step && step->answer == MessageAnswer::Yes;
    }
    std::optional<QString> InputPrompt(const QString&, const QString& prompt,
                                       const QString& preset) override {
        return Reply(Take({Kind::Prompt, prompt, {}, preset}));
    }
    std::optional<QString> OpenFile(const FileDialogRequest& request) override {
        return Reply(Take({Kind::OpenFile, request.title, {}, request.fileName, request.folder}));
    }
    std::optional<QString> SaveFile(const FileDialogRequest& request) override {
        return Reply(Take({Kind::SaveFile, request.title, {}, request.fileName, request.folder}));
    }
    void RunTextEditor(TForm2& window) override {
        std::optional<Step> step = Take({Kind::TextEditor, window.windowTitle()});
        if (!step) return;
        window.show();
        step->editor(window);
        EXPECT_FALSE(window.isVisible()) << "the text editor window was left open";
        window.hide();
    }

private:
    struct Step {
        Kind kind;
        MessageAnswer answer = MessageAnswer::Cancel;
        std::optional<QString> reply = {};
        std::function<void(TForm2&)> editor = {};
    };
    ScriptedSeam& Push(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    static std::optional<QString> Reply(const std::optional<Step>& step) {
        return step ? step->reply : std::nullopt;
    }
    // Records the call; the next scripted step when it is of the call's kind.
    std::optional<Step> Take(Call call) {
        static const char* const names[] = {"message box", "question",    "input prompt",
                                            "open dialog", "save dialog", "text editor window"};
        calls_.push_back(std::move(call));
        const Call& c = calls_.back();
        const bool expected = !steps_.empty() && steps_.front().kind == c.kind;
        EXPECT_TRUE(expected) << "expected "
                              << (steps_.empty() ? "nothing" : names[int(steps_.front().kind)])
                              << ", the window showed a " << names[int(c.kind)] << ": "
                              << c.text.toStdString();
        if (steps_.empty()) return std::nullopt;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        return expected ? std::optional<Step>(std::move(step)) : std::nullopt;
    }

    std::deque<Step> steps_;
    std::vector<Call> calls_;
};

} // namespace kv::test
