#pragma once

#include "editor/modal_seam.h"

class QWidget;

namespace kv {

// The program's modal steps: QMessageBox, QInputDialog, QFileDialog and the text editor window.
class QtModalSeam : public ModalSeam {
public:
    explicit QtModalSeam(QWidget* parent) : parent_(parent) {}

    void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) override;
    MessageAnswer AskYesNoCancel(const QString& text, const QString& caption) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    std::optional<QString> InputPrompt(const QString& caption, const QString& prompt,
                                       const QString& preset) override;
    std::optional<QString> OpenFile(const FileDialogRequest& request) override;
    std::optional<QString> SaveFile(const FileDialogRequest& request) override;
    void RunTextEditor(TForm2& window) override;

private:
    QWidget* parent_;
};

// "Файлы ERM (*.erm)|*.erm|Все файлы|*.*" in Qt's form: "Файлы ERM (*.erm);;Все файлы (*)".
QString QtFileFilter(const QString& pairs);

} // namespace kv
