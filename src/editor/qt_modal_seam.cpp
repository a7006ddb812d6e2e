#include "editor/qt_modal_seam.h"

#include "editor/text_editor_window.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace kv {

QString QtFileFilter(const QString& pairs) {
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString pattern = parts[i + 1];
        // "*.*" means every file on Windows; elsewhere it would demand a dot in the name.
        if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (") + pattern + QLatin1Char(')');
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

void QtModalSeam::ShowMessage(const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    if (icon == MessageIcon::Warning) boxIcon = QMessageBox::Warning;
    if (icon == MessageIcon::Error) boxIcon = QMessageBox::Critical;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

MessageAnswer QtModalSeam::AskYesNoCancel(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Warning, caption, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Cancel;
    }
}

bool QtModalSeam::AskYesNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtModalSeam::InputPrompt(const QString& caption, const QString& prompt,
                                                const QString& preset) {
    bool ok = false;
    QString text =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, preset, &ok);
    if (!ok) return std::nullopt;
    return text;
}

namespace {

std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.folder, QtFileFilter(request.filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> QtModalSeam::OpenFile(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtModalSeam::SaveFile(const FileDialogRequest& request) {
    return RunFileDialog(parent_, request, QFileDialog::AcceptSave);
}

void QtModalSeam::RunTextEditor(TForm2& window) { window.exec(); }

} // namespace kv

namespace kv {

void ShowError(ModalSeam& seam, const QString& text) {
    seam.ShowMessage(text, QStringLiteral("Ошибка"), MessageIcon::Error);
}

} // namespace kv
