// Moving through a large project: go to a function by its number, back and forward through the
// places jumped to, and what leads to the selected dialog.
#include "app/main_window.h"

#include "editor/find_bar.h"
#include "editor/outline_editor.h"
#include "editor/outline_model.h"
#include "editor/outline_tree.h"
#include "editor/project_document.h"
#include "editor/qt_text.h"
#include "find/leads_here.h"
#include "find/navigation_history.h"
#include "text/error.h"
#include "text/file_io.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QMouseEvent>

namespace kv {

namespace {

// Moves the places of the history with every change of the project, as its rows move.
class HistoryFollower final : public ProjectObserver {
public:
    explicit HistoryFollower(NavigationHistory& history) : history_(history) {}
    void Changed(const ProjectChange& change) override { history_.Follow(change); }

private:
    NavigationHistory& history_;
};

} // namespace

void TMain::BuildNavigation() {
    history_ = std::make_unique<NavigationHistory>();
    historyFollower_ = std::make_unique<HistoryFollower>(*history_);
    document_->AddObserver(historyFollower_.get());
    connect(document_, &ProjectDocument::Replaced, this, [this] {
        history_->Clear();
        UpdateNavigation();
    });

    auto item = [this](const char* name, const QString& text, QList<QKeySequence> keys) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        N9->addAction(action);
        return action;
    };
    N9->addSeparator();
    Find1 = item("Find1", QStringLiteral("Найти..."), {QKeySequence(Qt::CTRL | Qt::Key_F)});
    GoTo1 = item("GoTo1", QStringLiteral("Перейти к функции..."), {QKeySequence(Qt::CTRL | Qt::Key_G)});
    Back1 = item("Back1", QStringLiteral("Назад"), {QKeySequence(Qt::ALT | Qt::Key_Left)});
    Forward1 = item("Forward1", QStringLiteral("Вперёд"), {QKeySequence(Qt::ALT | Qt::Key_Right)});
    Leads1 = item("Leads1", QStringLiteral("Что ведёт сюда..."), {QKeySequence(Qt::CTRL | Qt::Key_L)});
    PopupMenu1->insertAction(Play1, Leads1);
    connect(GoTo1, &QAction::triggered, this, Guard(&TMain::GoToClick));

    // The find bar: a panel below the outline, shown by Ctrl+F; a match chosen is a jump.
    FindDock = new QDockWidget(QStringLiteral("Поиск"), this);
    FindDock->setObjectName(QStringLiteral("FindDock"));
    Finder = new FindBar(*document_, FindDock);
    FindDock->setWidget(Finder);
    addDockWidget(Qt::BottomDockWidgetArea, FindDock);
    tabifyDockWidget(ProblemsDock, FindDock);
    FindDock->hide();
    connect(Find1, &QAction::triggered, this, [this] {
        FindDock->show();
        FindDock->raise();
        Finder->Activate();
    });
    connect(Finder, &FindBar::MatchActivated, this, [this](Place place) {
        RunGuarded(*seam_, [&] { JumpTo(place, false); });
    });
    connect(Finder, &FindBar::Closed, this, [this] {
        FindDock->hide();
        Tree->setFocus(Qt::OtherFocusReason);
    });
    connect(Finder, &FindBar::Failed, this, [this](const QString& text) { ReportError(text); });
    connect(Back1, &QAction::triggered, this, Guard(&TMain::BackClick));
    connect(Forward1, &QAction::triggered, this, Guard(&TMain::ForwardClick));
    connect(Leads1, &QAction::triggered, this, Guard(&TMain::LeadsClick));
    // The mouse's back and forward buttons, wherever they are pressed in this window.
    qApp->installEventFilter(this);
    UpdateNavigation();
}

void TMain::UpdateNavigation() {
    if (!history_) return;
    Back1->setEnabled(history_->CanBack(outline_->SelectedPlace()));
    Forward1->setEnabled(history_->CanForward());
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (widget != nullptr && widget->window() == this &&
            (button == Qt::BackButton || button == Qt::ForwardButton)) {
            (button == Qt::BackButton ? Back1 : Forward1)->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMain::JumpTo(Place place, bool focusOutline) {
    const Place from = outline_->SelectedPlace();
    const QModelIndex node = model_->IndexOf(place);
    if (!node.isValid() || !outline_->SelectNode(node)) return false;
    history_->Jump(from, place);
    Tree->scrollTo(node);
    if (focusOutline) Tree->setFocus(Qt::OtherFocusReason);
    UpdateNavigation();
    return true;
}

void TMain::GoToClick() {
    if (Tree->IsEditingCaption()) return;
    std::optional<QString> typed = seam_->InputPrompt(QStringLiteral("Переход к функции"),
                                                      QStringLiteral("Введите номер функции: "),
                                                      QString());
    if (!typed) return;
    // An unknown number is reported by the command guard, in the core's words.
    JumpTo({GoToFunction(CurrentProject(), ToCp1251(*typed)), -1});
}

void TMain::BackClick() {
    if (Tree->IsEditingCaption() || !CommitPendingEdit()) return;
    if (std::optional<Place> place = history_->Back(outline_->SelectedPlace())) {
        outline_->SelectNear(*place);
        Tree->setFocus(Qt::OtherFocusReason);
    }
    UpdateNavigation();
}

void TMain::ForwardClick() {
    if (Tree->IsEditingCaption() || !CommitPendingEdit()) return;
    if (std::optional<Place> place = history_->Forward()) {
        outline_->SelectNear(*place);
        Tree->setFocus(Qt::OtherFocusReason);
    }
    UpdateNavigation();
}

void TMain::LeadsClick() {
    const Place selected = outline_->SelectedPlace();
    if (selected.dialog < 0 || Tree->IsEditingCaption()) return;
    const Project& project = CurrentProject();
    // The calls in the script's own text count too, when the script can be read.
    std::string script;
    try {
        if (!ScriptPath().isEmpty()) script = ReadWholeFile(ToUtf8Path(ScriptPath()));
    } catch (const Error&) {
    }
    const std::vector<Lead> leads = LeadsTo(project, selected.dialog, script);
    QMenu menu(this);
    if (leads.empty()) menu.addAction(QStringLiteral("Сюда ничто не ведёт"))->setEnabled(false);
    for (const Lead& lead : leads) {
        QString text;
        const TDialogItem* from = project.DialogAt(lead.place.dialog);
        switch (lead.kind) {
        case Lead::Kind::Answer:
            text = QStringLiteral("%1, вариант %2: %3")
                       .arg(from->FunctionNumber)
                       .arg(lead.place.slot + 1)
                       .arg(FromCp1251(from->Variant[static_cast<std::size_t>(lead.place.slot)].view()));
            break;
        case Lead::Kind::DialogErm:
            text = QStringLiteral("%1: вызов в скрипте ERM диалога").arg(from->FunctionNumber);
            break;
        case Lead::Kind::Script:
            text = QStringLiteral("Файл скрипта, строка %1").arg(lead.line + 1);
            break;
        }
        QAction* entry = menu.addAction(text);
        entry->setEnabled(lead.kind != Lead::Kind::Script);
        entry->setData(QVariant::fromValue(QPoint(lead.place.dialog, lead.place.slot)));
    }
    const QModelIndex node = outline_->SelectedNode();
    const QRect at = Tree->visualRect(node);
    QAction* chosen = menu.exec(Tree->viewport()->mapToGlobal(at.isValid() ? at.bottomLeft() : QPoint()));
    if (chosen == nullptr || !chosen->data().isValid()) return;
    const QPoint place = chosen->data().toPoint();
    JumpTo({place.x(), place.y()});
}

} // namespace kv
