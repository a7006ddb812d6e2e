#pragma once

#include <QString>

#include <optional>

namespace kv {

class TForm2;

enum class MessageIcon { Information, Warning, Error };
enum class MessageAnswer { Yes, No, Cancel };

// A file dialog as the main window describes it. The filter is written as description and
// pattern pairs separated by vertical bars ("Файлы диалогов (*.tlk)|*.tlk"); the real dialog
// turns it into Qt's form.
struct FileDialogRequest {
    QString title;
    QString filter;
    QString folder;   // where the dialog starts
    QString fileName; // preset file name; empty for none
};

// Every modal step of the editor goes through this one interface: message boxes, the input
// prompt, the file dialogs and the text editor window. The main window owns one; the program
// uses the Qt widgets, tests install a scripted one so that nothing ever blocks.
class ModalSeam {
public:
    virtual ~ModalSeam() = default;

    // A message box with an OK button.
    virtual void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) = 0;
    // A question with Yes, No and Cancel and a warning icon; Escape or the close box is Cancel.
    virtual MessageAnswer AskYesNoCancel(const QString& text, const QString& caption) = 0;
    // A question with Yes and No and a warning icon; true for Yes. Escape or the close box is No.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    // An input prompt; empty when the user cancels.
    virtual std::optional<QString> InputPrompt(const QString& caption, const QString& prompt,
                                               const QString& preset) = 0;
    // The chosen file's path; empty when the user cancels. Neither insists that the file exists.
    virtual std::optional<QString> OpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFile(const FileDialogRequest& request) = 0;
    // Shows the text editor window modally and returns when it has closed.
    virtual void RunTextEditor(TForm2& window) = 0;
};

// An error report: the text in a message box with the caption "Ошибка" and the error icon.
void ShowError(ModalSeam& seam, const QString& text);

} // namespace kv
