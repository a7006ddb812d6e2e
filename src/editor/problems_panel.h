#pragma once

#include "check/check_project.h"
#include "model/edit.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QTableView;
class QTimer;

namespace kv {

class ProblemsModel;

// The panel "Проблемы": the problems the checks find in the project, one a row (severity,
// function, answer, field, message), with the counts above them. It checks again a moment after
// each edit, so that a burst of edits costs one check and typing never waits for it, and when the
// program becomes active again; the script's facts are read again only when its path or the
// file's time or size changed. A double click on a problem names the dialog or answer and the
// grid row of its field.
class ProblemsPanel : public QWidget {
    Q_OBJECT

public:
    // The script the project compiles into, as the compile resolves it; empty when none is chosen.
    using ScriptPath = std::function<QString()>;

    // The project is kept by reference: it must outlive the panel (a new or opened project is
    // assigned into the same object).
    ProblemsPanel(const Project& project, ScriptPath scriptPath, QWidget* parent = nullptr);
    ~ProblemsPanel() override;

    // After every edit and when the project was replaced: the checks run again shortly.
    void ProjectChanged();
    // Runs a pending check at once (a caller that needs the counts now).
    void CheckNow();

    const std::vector<Problem>& Problems() const { return problems_; }
    int ErrorCount() const { return errors_; }
    int WarningCount() const { return static_cast<int>(problems_.size()) - errors_; }
    // Whether the dialog at this list position has a problem of severity error.
    bool HasErrors(int dialogPosition) const;
    // "Ошибок: 2, предупреждений: 1" or "Проблем нет", also for the dock's title.
    QString Summary() const;

    // The grid row of a problem's field (the rows of the dialog grid for a field of the dialog,
    // of the variant grid for one of an answer); -1 when no grid row shows it.
    static int GridRow(const Problem& problem);
    // The dialog or answer a problem is about; dialog -1 for a problem of the script file.
    static Place PlaceOf(const Problem& problem);

    QLabel* Counts;
    QTableView* List;

signals:
    // A problem was double-clicked (or chosen with Enter): select this dialog or answer and, when
    // gridRow is not -1, that row of its grid.
    void PlaceActivated(kv::Place place, int gridRow);
    // The problems differ from the last check: the counts and HasErrors answer anew.
    void ProblemsUpdated();

private:
    void Activate(int row);
    void ReadScriptIfChanged();

    const Project& project_;
    ScriptPath scriptPath_;
    QTimer* pending_;
    ProblemsModel* model_;
    std::vector<Problem> problems_;
    std::vector<bool> dialogHasError_;
    int errors_ = 0;

    // The script as last read, and what told it apart on disk.
    ScriptFacts script_;
    bool scriptRead_ = false;
    QString scriptFile_;
    QDateTime scriptTime_;
    qint64 scriptSize_ = -1;
};

} // namespace kv
