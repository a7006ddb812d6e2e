#include "scripted_seam.h"

#include "editor/text_editor_window.h"

#include <gtest/gtest.h>

namespace kv::test {

namespace {

const char* KindName(ScriptedSeam::Kind kind) {
    switch (kind) {
    case ScriptedSeam::Kind::Message:
        return "message box";
    case ScriptedSeam::Kind::Question:
        return "Yes/No/Cancel question";
    case ScriptedSeam::Kind::Prompt:
        return "input prompt";
    case ScriptedSeam::Kind::OpenFile:
        return "open dialog";
    case ScriptedSeam::Kind::SaveFile:
        return "save dialog";
    case ScriptedSeam::Kind::TextEditor:
        return "text editor window";
    }
    return "?";
}

} // namespace

int ScriptedSeam::Count(Kind kind) const {
    int n = 0;
    for (const Call& c : calls_) n += c.kind == kind ? 1 : 0;
    return n;
}

std::optional<ScriptedSeam::Step> ScriptedSeam::Take(const Call& call) {
    calls_.push_back(call);
    if (steps_.empty()) {
        ADD_FAILURE() << "unscripted " << KindName(call.kind) << ": "
                      << call.text.toStdString();
        return std::nullopt;
    }
    Step step = steps_.front();
    steps_.pop_front();
    if (step.kind != call.kind) {
        ADD_FAILURE() << "expected a " << KindName(step.kind) << ", the window showed a "
                      << KindName(call.kind) << ": " << call.text.toStdString();
        return std::nullopt;
    }
    return step;
}

void ScriptedSeam::ShowMessage(const QString& text, const QString& caption, MessageIcon icon) {
    Call call(Kind::Message, text, caption, icon);
    Take(call);
}

MessageAnswer ScriptedSeam::AskYesNoCancel(const QString& text, const QString& caption) {
    Call call(Kind::Question, text, caption, MessageIcon::Warning);
    std::optional<Step> step = Take(call);
    return step ? step->answer : MessageAnswer::Cancel;
}

std::optional<QString> ScriptedSeam::InputPrompt(const QString& caption, const QString& prompt,
                                                 const QString& preset) {
    Call call(Kind::Prompt, prompt, caption);
    call.preset = preset;
    std::optional<Step> step = Take(call);
    return step ? step->reply : std::nullopt;
}

std::optional<QString> ScriptedSeam::OpenFile(const FileDialogRequest& request) {
    Call call(Kind::OpenFile, request.title);
    call.file = request;
    std::optional<Step> step = Take(call);
    return step ? step->reply : std::nullopt;
}

std::optional<QString> ScriptedSeam::SaveFile(const FileDialogRequest& request) {
    Call call(Kind::SaveFile, request.title);
    call.file = request;
    std::optional<Step> step = Take(call);
    return step ? step->reply : std::nullopt;
}

void ScriptedSeam::RunTextEditor(TForm2& window) {
    Call call(Kind::TextEditor, window.windowTitle());
    std::optional<Step> step = Take(call);
    if (!step) return;
    window.show();
    step->editor(window);
    EXPECT_FALSE(window.isVisible()) << "the text editor window was left open";
    window.hide();
}

} // namespace kv::test
