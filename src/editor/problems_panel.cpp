#include "editor/problems_panel.h"

#include "editor/list_model.h"

#include "editor/property_grids.h"
#include "editor/qt_text.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace kv {

namespace {

// Long enough to take a burst of edits (typing, a pasted block) as one, short enough to feel
// immediate.
constexpr int kCheckDelayMs = 150;

enum Column { SeverityColumn, FunctionColumn, AnswerColumn, FieldColumn, MessageColumn, Columns };

// The name of a problem's field as the project file and the grids' messages know it.
QString FieldName(ProblemField field) {
    const std::optional<FieldId> id = FieldOf(field);
    if (!id) return {};
    const std::string_view name = Field(*id).name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

} // namespace

// The panel's problems as the rows of its table. The panel resets it only when the list changed,
// so the view keeps its selection and scroll position through edits that change no problem.
class ProblemsModel : public ListModel<Problem> {
public:
    ProblemsModel(const std::vector<Problem>& problems, QObject* parent)
        : ListModel(problems,
                    {QStringLiteral("Вид"), QStringLiteral("Функция"), QStringLiteral("Вариант"),
                     QStringLiteral("Поле"), QStringLiteral("Сообщение")},
                    parent) {}

    QVariant data(const QModelIndex& index, int role) const override {
        const Problem* row = RowOf(index);
        if (row == nullptr) return {};
        const Problem& p = *row;
        const bool error = p.severity == Severity::Error;
        if (role == Qt::DecorationRole && index.column() == SeverityColumn) {
            return QApplication::style()->standardIcon(error ? QStyle::SP_MessageBoxCritical
                                                             : QStyle::SP_MessageBoxWarning);
        }
        if (role == Qt::ToolTipRole && index.column() == MessageColumn)
            return QString::fromUtf8(p.message);
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
        case SeverityColumn:
            return error ? QStringLiteral("ошибка") : QStringLiteral("предупреждение");
        case FunctionColumn:
            return p.dialog < 0 ? QStringLiteral("скрипт") : QString::number(p.function);
        case AnswerColumn:
            return p.answer > 0 ? QString::number(p.answer) : QString();
        case FieldColumn:
            return FieldName(p.field);
        case MessageColumn:
            return QString::fromUtf8(p.message);
        }
        return {};
    }
};

ProblemsPanel::ProblemsPanel(const Project& project, ScriptPath scriptPath, QWidget* parent)
    : QWidget(parent), project_(project), scriptPath_(std::move(scriptPath)) {
    Counts = new QLabel(this);
    Counts->setObjectName(QStringLiteral("Counts"));
    List = new QTableView(this);
    List->setObjectName(QStringLiteral("List"));
    model_ = new ProblemsModel(problems_, this);
    List->setModel(model_);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setWordWrap(false);
    List->setShowGrid(false);
    List->verticalHeader()->hide();
    // One text line a row, whatever the style: a project may have thousands of problems.
    List->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    List->verticalHeader()->setDefaultSectionSize(List->fontMetrics().height() + 6);
    QHeaderView* header = List->horizontalHeader();
    header->setStretchLastSection(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int digit = List->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    header->resizeSection(SeverityColumn,
                          List->fontMetrics().horizontalAdvance(QStringLiteral("предупреждение")) +
                              40);
    header->resizeSection(FunctionColumn, digit * 12);
    header->resizeSection(AnswerColumn, digit * 9);
    header->resizeSection(FieldColumn, digit * 16);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(Counts);
    layout->addWidget(List);

    pending_ = new QTimer(this);
    pending_->setSingleShot(true);
    pending_->setInterval(kCheckDelayMs);
    connect(pending_, &QTimer::timeout, this, &ProblemsPanel::CheckNow);
    // The author may have changed the script in another program: look again on coming back.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) ProjectChanged();
            });
    connect(List, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { Activate(index.row()); });

    Counts->setText(Summary());
    ProjectChanged();
}

ProblemsPanel::~ProblemsPanel() = default;

void ProblemsPanel::ProjectChanged() {
    // A timer already running takes this edit too, so steady typing is checked at a steady pace.
    if (!pending_->isActive()) pending_->start();
}

void ProblemsPanel::ReadScriptIfChanged() {
    const QString path = scriptPath_ ? scriptPath_() : QString();
    const QFileInfo info(path);
    const bool exists = !path.isEmpty() && info.exists();
    const QDateTime time = exists ? info.lastModified() : QDateTime();
    const qint64 size = exists ? info.size() : -1;
    if (scriptRead_ && path == scriptFile_ && time == scriptTime_ && size == scriptSize_) return;
    script_ = ReadScriptFacts(ToUtf8Path(path));
    scriptRead_ = true;
    scriptFile_ = path;
    scriptTime_ = time;
    scriptSize_ = size;
}

void ProblemsPanel::CheckNow() {
    pending_->stop();
    ReadScriptIfChanged();
    std::vector<Problem> problems = CheckProject(project_, script_);
    if (problems == problems_) return;

    model_->BeginReset();
    problems_ = std::move(problems);
    model_->EndReset();
    errors_ = CountErrors(problems_);
    dialogHasError_.assign(static_cast<std::size_t>(project_.DialogCount()), false);
    for (const Problem& p : problems_) {
        if (p.severity == Severity::Error && p.dialog >= 0 &&
            p.dialog < static_cast<int>(dialogHasError_.size()))
            dialogHasError_[static_cast<std::size_t>(p.dialog)] = true;
    }
    Counts->setText(Summary());
    emit ProblemsUpdated();
}

bool ProblemsPanel::HasErrors(int dialogPosition) const {
    return dialogPosition >= 0 && dialogPosition < static_cast<int>(dialogHasError_.size()) &&
           dialogHasError_[static_cast<std::size_t>(dialogPosition)];
}

QString ProblemsPanel::Summary() const {
    if (problems_.empty()) return QStringLiteral("Проблем нет");
    return QStringLiteral("Ошибок: %1, предупреждений: %2").arg(ErrorCount()).arg(WarningCount());
}

int ProblemsPanel::GridRow(const Problem& problem) {
    // The grid shown is the answer's for a problem of an answer, else the dialog's; a field of
    // the other kind has no row there (an answer's caption is edited in the outline).
    const std::optional<FieldId> id = FieldOf(problem.field);
    if (!id || (Field(*id).scope == FieldScope::Slot) != (problem.answer > 0)) return -1;
    return GridRowOf(*id);
}

Place ProblemsPanel::PlaceOf(const Problem& problem) {
    return Place{problem.dialog,
                 problem.dialog >= 0 && problem.answer > 0 ? problem.answer - 1 : -1};
}

void ProblemsPanel::Activate(int row) {
    if (row < 0 || row >= static_cast<int>(problems_.size())) return;
    const Problem& problem = problems_[static_cast<std::size_t>(row)];
    // A problem of the script file has nothing in the project to select.
    if (problem.dialog < 0) return;
    emit PlaceActivated(PlaceOf(problem), GridRow(problem));
}

} // namespace kv
