#pragma once

#include "find/text_search.h"
#include "model/edit.h"

#include <QWidget>

#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeView;

namespace kv {

class FindMatchesModel;
class ProjectDocument;

// The find-and-replace bar: a query, a replacement, the groups of fields to look through, and the
// list of every match (function, answer, field, the line with the match in bold). It searches as
// the query is typed and again after every change of the project, so the list never shows a
// value an edit has moved. Enter in the query steps to the next match, Shift+Enter to the
// previous one (both wrap around); a double click or Enter on a listed match goes to that one.
// "Заменить" (or Enter in the replacement) replaces the current match, "Заменить все" every
// match in the chosen fields, each as one step of the document's history. Escape hides the bar.
class FindBar : public QWidget {
    Q_OBJECT

public:
    // The document must outlive the bar.
    explicit FindBar(ProjectDocument& document, QWidget* parent = nullptr);
    ~FindBar() override;

    // Shows the bar and puts the keyboard focus into the query with its text selected (Ctrl+F).
    void Activate();

    // The matches of the last search, valid until the project next changes (the bar searches
    // again at once after each change).
    const std::vector<SearchMatch>& Matches() const { return matches_; }
    // The match the steps and "Заменить" work from; -1 before the first step.
    int CurrentMatch() const { return current_; }

    // Steps to the next or previous match, or to the match at a row of the list, and announces it.
    void NextMatch();
    void PreviousMatch();
    void GoToMatch(int row);
    // What the two buttons do.
    void ReplaceCurrent();
    void ReplaceEverything();

    QLineEdit* FindText;
    QLineEdit* ReplaceText;
    QCheckBox* Captions; // the outline captions: the dialog's Hint and the answers' Variant
    QCheckBox* Headers;
    QCheckBox* Lines;      // the message text
    QCheckBox* Conditions; // FailOn
    QCheckBox* Scripts;    // the ERM before and after
    QPushButton* ReplaceButton;
    QPushButton* ReplaceAllButton;
    QToolButton* CloseButton;
    QLabel* Count;
    QTreeView* List;

signals:
    // A match was stepped to or chosen: select its dialog or answer.
    void MatchActivated(kv::Place place);
    // Escape or the close button hid the bar (the focus may go back to the outline).
    void Closed();
    // A replacement failed and changed nothing; the text is for an error box.
    void Failed(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class Watch;

    SearchFields ChosenFields() const;
    // The query in Windows-1251; false when the text has a character Windows-1251 cannot hold.
    bool Query(std::string& bytes) const;
    void SearchAgain();
    // The project is about to change: the matches' views into it are dropped before they dangle.
    void DropMatches();
    void ProjectChanged();
    void ShowReplaced(const Replacement& done);
    void ShowCount();
    void ShowCurrent();
    void Close();

    ProjectDocument& document_;
    FindMatchesModel* model_;
    std::vector<SearchMatch> matches_;
    int current_ = -1;
    // A change came while the bar was hidden: search again when it is shown.
    bool stale_ = false;
};

} // namespace kv
