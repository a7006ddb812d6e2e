#include "editor/text_editor_window.h"

#include "editor/qt_text.h"
#include "text/fixed_string.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace kv {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Редактирование текста"));
    resize(596, 293);
    move(192, 103);

    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    N2 = MainMenu1->addAction(QStringLiteral("Не сохранять (Esc)"));
    N2->setObjectName(QStringLiteral("N2"));
    N2->setShortcut(QKeySequence(Qt::Key_Escape));
    ab1 = MainMenu1->addAction(QStringLiteral("Сохранить (Tab)"));
    ab1->setObjectName(QStringLiteral("ab1"));
    ab1->setShortcut(QKeySequence(Qt::Key_Tab));
    connect(N2, &QAction::triggered, this, &TForm2::N2Click);
    connect(ab1, &QAction::triggered, this, &TForm2::N3Click);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->installEventFilter(this);
    connect(Memo1, &QPlainTextEdit::textChanged, this, &TForm2::UpdateLineCount);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    LineCount = new QLabel(StatusBar1);
    StatusBar1->addWidget(LineCount, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(Memo1, 1);
    layout->addWidget(StatusBar1);

    UpdateLineCount();
}

QStringList TForm2::Lines() const {
    const QString text = Memo1->toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TForm2::SetLines(const QStringList& lines) {
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    UpdateLineCount();
}

void TForm2::FormShow() { resultFlag_ = 0; }

void TForm2::N2Click() {
    resultFlag_ = 1;
    close();
}

void TForm2::N3Click() {
    resultFlag_ = 0;
    close();
}

void TForm2::showEvent(QShowEvent* event) {
    FormShow();
    Memo1->setFocus();
    QDialog::showEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    // The edit area would take Tab as a character and Esc for itself; the two commands come
    // first.
    if (watched == Memo1 &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        QAction* command = nullptr;
        if (plain && key->key() == Qt::Key_Tab) command = ab1;
        if (plain && key->key() == Qt::Key_Escape) command = N2;
        if (command != nullptr) {
            if (event->type() == QEvent::KeyPress) command->trigger();
            event->accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

// The numbers of the message lines longer than a message line holds.
QStringList LongLines(const QStringList& lines) {
    QStringList numbers;
    for (qsizetype i = 0; i < std::min<qsizetype>(lines.size(), TForm2::kLineLimit); ++i)
        if (ToCp1251(lines[i]).size() > LineString::capacity()) numbers << QString::number(i + 1);
    return numbers;
}

} // namespace

void TForm2::UpdateLineCount() {
    const QStringList lines = Lines();
    const auto count = lines.size();
    QString text = QStringLiteral("Строк: %1/%2").arg(count).arg(kLineLimit);
    // What the save would drop is said while the user can still put it right: the lines after
    // the thirtieth, and the end of a line longer than a message line holds (the wrapping hides
    // how long a line is).
    const QStringList tooLong = LongLines(lines);
    if (tooLong.size() == 1)
        text += QStringLiteral("  — строка %1 длиннее %2 знаков, ее конец будет обрезан")
                    .arg(tooLong.constFirst())
                    .arg(LineString::capacity());
    if (tooLong.size() > 1)
        text += QStringLiteral("  — строки %1 длиннее %2 знаков, их концы будут обрезаны")
                    .arg(tooLong.join(QStringLiteral(", ")))
                    .arg(LineString::capacity());
    if (count > kLineLimit)
        text += QStringLiteral("  — строки после %1-й не будут сохранены").arg(kLineLimit);
    const bool warn = count > kLineLimit || !tooLong.isEmpty();
    LineCount->setStyleSheet(warn ? QStringLiteral("color: #c00000; font-weight: bold;")
                                  : QString());
    LineCount->setText(text);
}

} // namespace kv
