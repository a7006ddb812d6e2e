#pragma once

#include "model/dialog_item.h"

#include <QDialog>
#include <QStringList>

class QAction;
class QLabel;
class QMenuBar;
class QPlainTextEdit;
class QStatusBar;

namespace kv {

// The text editor window "Редактирование текста": a dialog's message in an edit area that wraps
// at its width, a status line counting the lines against the limit of thirty, and two menu
// commands that take their keys before the edit area: "Не сохранять (Esc)" and
// "Сохранить (Tab)". Closing the window by its close box saves, like Tab.
//
// A line is a line the user typed, between two line breaks; the wrapping is display only.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);

    static constexpr int kLineLimit = kTextLineCount; // the lines a message holds

    // 0: save; 1: discard.
    int ResultFlag() const { return resultFlag_; }

    // The edit area's lines; an empty edit area has none.
    QStringList Lines() const;
    void SetLines(const QStringList& lines);

    void FormShow();
    void N2Click(); // "Не сохранять (Esc)"
    void N3Click(); // "Сохранить (Tab)", the command of ab1

    QMenuBar* MainMenu1;
    QAction* N2;
    QAction* ab1;
    QPlainTextEdit* Memo1;
    QStatusBar* StatusBar1;
    QLabel* LineCount; // the status line's text

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateLineCount();
    int resultFlag_ = 0;
};

} // namespace kv
