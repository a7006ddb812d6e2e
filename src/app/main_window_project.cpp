// The project lifecycle, the INI import, the import from a compiled script, compilation and the
// two path commands.
#include "app/main_window.h"

#include "check/check_project.h"
#include "editor/outline_editor.h"
#include "editor/project_document.h"
#include "editor/qt_text.h"
#include "erm/recovery.h"
#include "erm/splice.h"
#include "korvanthiel_version.h"
#include "project/ini_import.h"
#include "project/project_source.h"
#include "project/settings.h"
#include "project/tlk_file.h"
#include "text/cp1251.h"
#include "text/error.h"
#include "text/stored_text.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <vector>

namespace kv {

namespace {

const QString kCaption = QStringLiteral("Korvanthiel");

// The ".tlk" ending rule of Save as: the last four characters, with A to Z lowered, must be
// ".tlk"; otherwise ".tlk" is appended.
QString WithProjectExtension(const QString& name) {
    QString ending = name.right(4);
    for (QChar& c : ending)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
    if (ending == QLatin1String(".tlk")) return name;
    return name + QStringLiteral(".tlk");
}

// "1 ошибка", "2 ошибки", "5 ошибок": the count with the noun in the form Russian gives it.
QString ErrorCount(int n) {
    const int lastTwo = n % 100;
    const int last = n % 10;
    const QString noun = (lastTwo >= 11 && lastTwo <= 14) || last == 0 || last >= 5
                             ? QStringLiteral("ошибок")
                         : last == 1 ? QStringLiteral("ошибка")
                                     : QStringLiteral("ошибки");
    return QString::number(n) + QLatin1Char(' ') + noun;
}

// The first of the folders that exists, else the user's home folder. A file dialog handed a
// folder that is not there (the maps folder's default is a Windows path) would start somewhere
// unrelated and show that path in its file-name field.
QString ExistingFolder(std::initializer_list<QString> candidates) {
    for (const QString& folder : candidates)
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) return QFileInfo(folder).absoluteFilePath();
    return QDir::homePath();
}

} // namespace

QString TMain::ProjectFolder() const {
    const Project& project = document_->project();
    if (project.ProjectFileName.empty()) return QString();
    return QFileInfo(FromUtf8Path(project.ProjectFileName)).absolutePath();
}

QString TMain::ProjectDialogFolder() const { return ExistingFolder({mapsFolder_, ProjectFolder()}); }

bool TMain::AskSaveChanges() {
    // What is being typed into a grid belongs to the project. A value the grid refused is typed
    // work all the same: the question is asked, so the user can stay and put it right.
    Project& project = CurrentProject();
    if (!CommitPendingEdit()) project.Modified = true;
    if (!project.Modified) return true;
    switch (seam_->AskYesNoCancel(QStringLiteral("Проект не сохранен. Вы хотите сохранить его?"),
                                  QStringLiteral("Предупреждение"))) {
    case MessageAnswer::Cancel:
        return false;
    case MessageAnswer::No:
        return true;
    case MessageAnswer::Yes:
        // The user asked to keep the work: the calling command goes on only once it is saved. A
        // failed save, or a save dialog the user cancelled, stops it with nothing lost.
        return Save() == SaveOutcome::Saved;
    }
    return false;
}

SaveOutcome TMain::Save() {
    Project& project = CurrentProject();
    if (project.ProjectFileName.empty()) return SaveAs();
    try {
        SaveProject(project, project.ProjectFileName);
    } catch (const Error& e) {
        ReportError(QString::fromUtf8(e.what()));
        UpdateCaption();
        return SaveOutcome::Failed;
    }
    document_->MarkSaved();
    RememberRecent(FromUtf8Path(project.ProjectFileName));
    UpdateCaption();
    return SaveOutcome::Saved;
}

SaveOutcome TMain::SaveAs() {
    FileDialogRequest request = SaveDialog1;
    request.folder = ProjectDialogFolder();
    std::optional<QString> chosen = seam_->SaveFile(request);
    if (!chosen) return SaveOutcome::Cancelled;
    CurrentProject().ProjectFileName = ToUtf8Path(WithProjectExtension(*chosen));
    return Save();
}

void TMain::ClearProject() {
    Project empty;
    empty.FunctionStart = CurrentProject().FunctionStart;
    document_->Replace(std::move(empty));
}

void TMain::TakeProject(kv::Project&& project, const QString& fileName) {
    project.ProjectFileName = ToUtf8Path(fileName);
    project.Modified = false;
    document_->Swap(project);
}

bool TMain::OpenProjectFile(const QString& path) {
    // The core reads into a fresh project, so a file that cannot be read leaves the open one
    // as it was.
    // An INI project named here (on the command line) is imported, as the command-line tool reads
    // it; it has no project file yet, so the first save asks for one.
    const std::string file = ToUtf8Path(path);
    const bool ini = ProjectFormatOf(file) == ProjectFormat::Ini;
    if (!RunGuarded(*seam_, [&] { TakeProject(ReadAnyProject(file), ini ? QString() : path); }))
        return false;
    if (ini) return true;
    RememberRecent(path);
    return true;
}

void TMain::RememberRecent(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    // The settings file keeps Windows-1251; a path it cannot hold is not listed.
    if (!FitsCp1251(full.toStdU16String())) return;
    RememberProject(recent_, ToCp1251(full));
    FillRecentMenu();
}

void TMain::OpenRecentProject(const QString& path) {
    if (!QFileInfo::exists(path)) {
        std::erase(recent_, ToCp1251(path));
        FillRecentMenu();
        ReportError(QStringLiteral("Файл проекта не найден:\n%1\n\nОн удален из списка последних "
                                   "проектов.")
                        .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!AskSaveChanges()) return;
    OpenProjectFile(path);
}

void TMain::ToolButton1Click() {
    if (!AskSaveChanges()) return;
    ClearProject();
}

std::optional<QString> TMain::ChooseFileToOpen() {
    if (!AskSaveChanges()) return std::nullopt;
    FileDialogRequest request = OpenDialog1;
    request.folder = ProjectDialogFolder();
    std::optional<QString> chosen = seam_->OpenFile(request);
    // A name typed for a file that is not there ends the command without a word.
    if (!chosen || !QFileInfo::exists(*chosen)) return std::nullopt;
    return chosen;
}

void TMain::N3Click() {
    if (std::optional<QString> chosen = ChooseFileToOpen()) OpenProjectFile(*chosen);
}

void TMain::N4Click() {
    if (CommitPendingEdit()) Save();
}

void TMain::N5Click() {
    if (CommitPendingEdit()) SaveAs();
}

void TMain::N8Click() { close(); }

void TMain::INI1Click() {
    std::optional<QString> chosen = ChooseFileToOpen();
    if (!chosen) return;
    try {
        // The imported project has no project file yet: the first save asks for a name and so
        // never writes the project format over the INI file.
        TakeProject(ImportIniFile(ToUtf8Path(*chosen)), QString());
    } catch (const Error& e) {
        ReportError(QString::fromUtf8(e.what()));
    }
}

void TMain::ERM1Click() {
    if (!AskSaveChanges()) return;
    FileDialogRequest request = OpenDialog2;
    request.title = QStringLiteral("Импорт из скрипта");
    // Where the other project dialogs start: a maps folder that is not there would show its
    // path in the file-name field.
    request.folder = ProjectDialogFolder();
    request.fileName.clear();
    std::optional<QString> chosen = seam_->OpenFile(request);
    if (!chosen || !QFileInfo::exists(*chosen)) return;
    // A failure is reported by the command guard, and leaves the open project as it was.
    RecoveredProject recovered = RecoverScriptFile(ToUtf8Path(*chosen));
    std::vector<RecoveryNote> notes = std::move(recovered.notes);
    // Like an INI import, the recovered project has no file yet: the first save asks.
    TakeProject(std::move(recovered.project), QString());
    if (notes.empty()) return;
    const Project& project = CurrentProject();
    // The notes name the script's lines; a long list is cut, the command-line tool gives it all.
    constexpr std::size_t kShown = 25;
    QString text = QStringLiteral("Восстановлено диалогов: %1. Не всё удалось восстановить:\n")
                       .arg(project.DialogCount());
    bool edited = false;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        edited = edited || notes[i].kind == NoteKind::HandEdited;
        if (i < kShown) {
            text += QStringLiteral("\nстрока %1: %2")
                        .arg(notes[i].line)
                        .arg(QString::fromUtf8(notes[i].text));
        }
    }
    if (notes.size() > kShown) text += QStringLiteral("\n... и ещё %1").arg(notes.size() - kShown);
    seam_->ShowMessage(text, QStringLiteral("Импорт из скрипта"),
                       edited ? MessageIcon::Warning : MessageIcon::Information);
}

QString TMain::ScriptPath() const {
    const Project& project = document_->project();
    return FromUtf8Path(ProjectScriptPath(project, project.ProjectFileName));
}

void TMain::N11Click() {
    if (!CommitPendingEdit()) return;
    const std::string script = ToUtf8Path(ScriptPath());
    // The code of a project with errors misbehaves in the game: say so once before writing.
    const Project& project = CurrentProject();
    const int errors = CountErrors(CheckProject(project, ReadScriptFacts(script)));
    if (errors > 0 &&
        !seam_->AskYesNo(QStringLiteral("В проекте %1. Компилировать всё равно?")
                             .arg(ErrorCount(errors)),
                         kCaption)) {
        return;
    }
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) +
                          QLatin1Char(' ') + locale.toString(now.time(), QLocale::LongFormat);
    try {
        CompileScript(project, script, ToCp1251(stamp));
    } catch (const ScriptNotFound& e) {
        seam_->ShowMessage(QString::fromUtf8(e.what()), QStringLiteral("Ошибка"),
                           MessageIcon::Error);
        return;
    } // any other failure is reported by the command guard
    seam_->ShowMessage(QStringLiteral("Скрипт успешно ИСПОРЧЕН! Приятной работы)"), kCaption,
                       MessageIcon::Information);
}

void TMain::N20Click() {
    FileDialogRequest request = OpenDialog2;
    // The dialog starts beside the current script, so that accepting it as it opens keeps the
    // script where it is.
    const QString script = ScriptPath();
    const bool located = !script.isEmpty() && (QDir::isAbsolutePath(script) || !ProjectFolder().isEmpty());
    request.folder = ExistingFolder({located ? QFileInfo(script).absolutePath() : QString(),
                                     ProjectFolder(), mapsFolder_});
    request.fileName = QFileInfo(script).fileName();
    std::optional<QString> chosen = seam_->OpenFile(request);
    if (!chosen) return;
    const QString path = QFileInfo(*chosen).absoluteFilePath();
    RefuseProjectAsScript(CurrentProject().ProjectFileName, ToUtf8Path(path));
    // The project file keeps the path in Windows-1251; a character it lacks would be stored as
    // "?" and the script never found again.
    if (!FitsCp1251(path.toStdU16String())) {
        ReportError(QStringLiteral("Путь к файлу скрипта содержит символы, которых нет в "
                                   "кодировке Windows-1251, и не может быть сохранен в "
                                   "проекте:\n%1")
                        .arg(path));
        return;
    }
    const std::string stored = StorableText(ToCp1251(path));
    RunEdit([&](const Project&) {
        return ChangeValues({{{FieldId::ScriptFile, -1, 0}, FieldValue::Text(stored)}},
                            "выбор файла сценария");
    });
}

void TMain::maps1Click() {
    std::optional<QString> folder =
        seam_->InputPrompt(QStringLiteral("Каталог maps"),
                           QStringLiteral("Введите путь к папке maps где лежат герои:"),
                           mapsFolder_);
    if (folder) mapsFolder_ = *folder;
}

void TMain::N12Click() {
    seam_->ShowMessage(QStringLiteral("Korvanthiel облегчает создание диалогов с многовариантным "
                                      "выбором на языке ERM. Это тестовая версия программы.\n\n"
                                      "Версия " KORV_VERSION),
                       QStringLiteral("О программе"), MessageIcon::Information);
}

} // namespace kv
