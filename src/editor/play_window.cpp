#include "editor/play_window.h"

#include "editor/hero_panel.h"
#include "editor/qt_text.h"
#include "play/transcript.h"
#include "text/error.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

namespace kv {

namespace {

// A text shown on a button or a check box, where "&" would mark a mnemonic.
QString Literal(const QString& text) {
    QString out = text;
    return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QLabel* NoteLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPlainTextEdit* ReadOnlyText(QWidget* parent) {
    auto* text = new QPlainTextEdit(parent);
    text->setReadOnly(true);
    return text;
}

} // namespace

PlayWindow::PlayWindow(const Project& project, int startPosition, QWidget* parent)
    : QWidget(parent, Qt::Window), project_(project) {
    const TDialogItem* start = project.DialogAt(startPosition);
    if (!start) throw Error("Нет диалога, с которого начать проигрыш");
    setWindowTitle(QStringLiteral("Проигрыш диалога"));
    resize(940, 680);

    BackButton = new QPushButton(QStringLiteral("Назад"), this);
    BackButton->setToolTip(QStringLiteral("Отменить последний выбор (Alt+Влево)"));
    BackButton->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    RestartButton = new QPushButton(QStringLiteral("Сначала"), this);
    RestartButton->setToolTip(QStringLiteral("Начать заново с того же диалога и того же героя"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(BackButton);
    bar->addWidget(RestartButton);
    bar->addStretch();

    // The dialog as the game shows it.
    auto* dialogBox = new QGroupBox(QStringLiteral("Диалог"), this);
    Title = NoteLabel(dialogBox);
    QFont bold = Title->font();
    bold.setBold(true);
    Title->setFont(bold);
    ScriptBefore = NoteLabel(dialogBox);
    ScriptAfter = NoteLabel(dialogBox);
    for (QLabel* script : {ScriptBefore, ScriptAfter})
        script->setForegroundRole(QPalette::PlaceholderText);
    Message = ReadOnlyText(dialogBox);
    Header = NoteLabel(dialogBox);
    Header->setFont(bold);
    answersBox_ = new QWidget(dialogBox);
    Status = NoteLabel(dialogBox);
    answersLayout_ = new QVBoxLayout(dialogBox);
    for (QWidget* part :
         {static_cast<QWidget*>(Title), static_cast<QWidget*>(ScriptBefore),
          static_cast<QWidget*>(Message), static_cast<QWidget*>(ScriptAfter),
          static_cast<QWidget*>(Header), answersBox_, static_cast<QWidget*>(Status)})
        answersLayout_->addWidget(part);
    answersLayout_->addStretch();
    // Room for a message of a dozen lines; a longer one scrolls.
    Message->setMinimumHeight(Message->fontMetrics().lineSpacing() * 4);
    Message->setMaximumHeight(Message->fontMetrics().lineSpacing() * 12 + 12);

    auto* heroBox = new QGroupBox(QStringLiteral("Герой"), this);
    Hero = new HeroPanel(heroBox);
    (new QVBoxLayout(heroBox))->addWidget(Hero);

    auto* transcriptBox = new QGroupBox(QStringLiteral("Ход игры"), this);
    Transcript = ReadOnlyText(transcriptBox);
    Transcript->setLineWrapMode(QPlainTextEdit::NoWrap);
    (new QVBoxLayout(transcriptBox))->addWidget(Transcript);

    auto* sides = new QSplitter(Qt::Horizontal, this);
    sides->addWidget(dialogBox);
    sides->addWidget(heroBox);
    sides->setStretchFactor(0, 3);
    sides->setStretchFactor(1, 2);
    sides->setSizes({560, 360});
    auto* rows = new QSplitter(Qt::Vertical, this);
    rows->addWidget(sides);
    rows->addWidget(transcriptBox);
    rows->setStretchFactor(0, 3);
    rows->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(rows);

    session_ =
        std::make_unique<PlaySession>(project, *start, [this](const TDialogItem& dialog, int slot) {
            return assumedHidden_.count({&dialog, slot}) > 0;
        });
    connect(BackButton, &QPushButton::clicked, this, &PlayWindow::Back);
    connect(RestartButton, &QPushButton::clicked, this, &PlayWindow::Restart);
    connect(Hero, &HeroPanel::HeroEdited, this, [this](const HeroState& hero) {
        session_->SetHero(hero);
        Show();
    });
    Hero->SetHero(session_->Hero());
    Show();
}

PlayWindow::~PlayWindow() = default;

void PlayWindow::ProjectChanged() {
    session_->Reshow();
    Show();
}

void PlayWindow::Choose(int answer) {
    session_->Choose(answer);
    Hero->SetHero(session_->Hero());
    Show();
    Entered();
}

void PlayWindow::Back() {
    if (!session_->Back()) return;
    Hero->SetHero(session_->Hero());
    Show();
    Entered();
}

void PlayWindow::Restart() {
    session_->Restart();
    Hero->SetHero(session_->Hero());
    Show();
    Entered();
}

void PlayWindow::Entered() {
    if (const TDialogItem* current = session_->Current())
        emit DialogEntered(project_.IndexOfDialog(current));
}

void PlayWindow::Show() {
    const Showing& s = session_->Shown();
    const bool showing = session_->Current() != nullptr;
    Title->setText(
        showing ? QStringLiteral("Функция %1").arg(s.function) +
                      (s.hint.empty() ? QString() : QStringLiteral(": ") + FromCp1251(s.hint))
                : QStringLiteral("Проигрыш окончен"));
    const auto script = [](QLabel* label, const QString& what, const std::string& code) {
        label->setVisible(!code.empty());
        label->setText(what + FromCp1251(code));
    };
    script(ScriptBefore, QStringLiteral("Скрипт до сообщения (не выполняется): "), s.scriptBefore);
    script(ScriptAfter, QStringLiteral("Скрипт после сообщения (не выполняется): "), s.scriptAfter);
    Message->setVisible(showing);
    Message->setPlainText(FromCp1251(s.message));
    Header->setVisible(!s.header.empty());
    Header->setText(FromCp1251(s.header));

    QString status;
    if (session_->Lost())
        status = QStringLiteral("Диалог, на котором стоял проигрыш, удален из проекта.");
    else if (!showing && !session_->Steps().empty())
        status = QString::fromUtf8(
            RunEndText(session_->Steps().back().next ? RunEnd::LeftProject : RunEnd::NoFollowUp,
                       session_->Steps().back()));
    else if (!s.offersChoice)
        status = QStringLiteral("Выбора нет: у диалога нет первого варианта.");
    Status->setVisible(!status.isEmpty());
    Status->setText(status);

    BackButton->setEnabled(!session_->Steps().empty());
    ShowAnswers();
    ShowTranscript();
}

void PlayWindow::ShowAnswers() {
    // The old buttons go once the click that may have brought us here has been handled.
    auto* box = new QWidget(answersBox_->parentWidget());
    answersLayout_->replaceWidget(answersBox_, box);
    answersBox_->deleteLater();
    answersBox_ = box;
    Answers.fill(nullptr);
    Assumed.fill(nullptr);
    auto* list = new QVBoxLayout(box);
    list->setContentsMargins(0, 0, 0, 0);

    const Showing& s = session_->Shown();
    if (!session_->Current() || !s.offersChoice) return;
    const TDialogItem* dialog = session_->Current();
    for (int k = 0; k < kSlotCount; ++k) {
        const AnswerView& answer = s.answers[static_cast<std::size_t>(k)];
        if (answer.caption.empty()) continue;
        const bool preset = k + 1 == s.defaultAnswer;
        QString text = QStringLiteral("%1. ").arg(k + 1) + Literal(FromCp1251(answer.caption));
        if (preset) text += QStringLiteral("   (по умолчанию)");
        auto* button = new QPushButton(text, box);
        button->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 8px;"));
        button->setEnabled(answer.offered);
        button->setDefault(preset && answer.offered);
        if (preset) {
            QFont font = button->font();
            font.setBold(true);
            button->setFont(font);
        }
        button->setToolTip(QString::fromUtf8(HiddenBecause(answer)));
        connect(button, &QPushButton::clicked, this, [this, k] { Choose(k + 1); });
        Answers[static_cast<std::size_t>(k)] = button;
        auto* row = new QHBoxLayout;
        row->addWidget(button, 1);
        list->addLayout(row);
        if (answer.conditionUnknown && !answer.lacksSkill) {
            auto* hidden = new QCheckBox(
                QStringLiteral("условие %1 выполнено").arg(Literal(FromCp1251(answer.condition))),
                box);
            hidden->setToolTip(QStringLiteral("Такое условие проигрыш не вычисляет: отметьте, "
                                              "если в игре оно выполнится и вариант скроется"));
            hidden->setChecked(answer.conditionHolds);
            connect(hidden, &QCheckBox::toggled, this, [this, dialog, k](bool holds) {
                if (holds)
                    assumedHidden_.insert({dialog, k});
                else
                    assumedHidden_.erase({dialog, k});
                session_->Reshow();
                Show();
            });
            Assumed[static_cast<std::size_t>(k)] = hidden;
            row->addWidget(hidden);
        } else if (!answer.offered) {
            // Why it is not offered, under its button.
            auto* why = NoteLabel(box);
            why->setText(QString::fromUtf8(HiddenBecause(answer)));
            why->setForegroundRole(QPalette::PlaceholderText);
            why->setContentsMargins(12, 0, 0, 4);
            list->addWidget(why);
        }
    }
}

void PlayWindow::ShowTranscript() {
    std::string text;
    for (const Step& step : session_->Steps())
        text += StepText(step) + "\n";
    if (session_->Steps().empty()) text = "Выбора еще не было.\n";
    Transcript->setPlainText(QString::fromUtf8(text));
    Transcript->verticalScrollBar()->setValue(Transcript->verticalScrollBar()->maximum());
}

} // namespace kv
