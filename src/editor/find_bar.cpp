#include "editor/find_bar.h"

#include "editor/list_model.h"

#include "editor/command_guard.h"
#include "editor/project_document.h"
#include "editor/qt_text.h"
#include "text/cp1251.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kv {

namespace {

enum Column { FunctionColumn, AnswerColumn, FieldColumn, LineColumn, Columns };

// The roles of the line column that say where the match stands in its DisplayRole text.
constexpr int kMatchStartRole = Qt::UserRole;
constexpr int kMatchLengthRole = Qt::UserRole + 1;

// Characters of the line kept before the match; a longer start is cut to an ellipsis, so that
// the match stays in view in a narrow column.
constexpr std::size_t kLeadBefore = 40;

QString FieldName(const SearchMatch& match) {
    switch (match.ref.field) {
    case FieldId::Hint:
    case FieldId::Variant:
        return QStringLiteral("Подпись");
    case FieldId::Header:
        return QStringLiteral("Заголовок");
    case FieldId::Text:
        return QStringLiteral("Текст %1").arg(match.line() + 1);
    case FieldId::ScriptBefore:
        return QStringLiteral("ERM до");
    case FieldId::ScriptAfter:
        return QStringLiteral("ERM после");
    case FieldId::FailOn:
        return QStringLiteral("Условие");
    default:
        return {};
    }
}

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// The line of a value that holds the match, as three pieces: before the match, the match,
// after it. Windows-1251 has one UTF-16 unit a byte, so the pieces' lengths are byte counts.
struct LinePieces {
    QString before, match, after;
};

LinePieces PiecesOf(const SearchMatch& m) {
    const std::string_view v = m.value;
    const std::size_t at = std::min<std::size_t>(m.offset, v.size());
    const std::size_t end = std::min<std::size_t>(at + m.length, v.size());
    std::size_t from = at;
    while (from > 0 && !IsLineBreak(v[from - 1]))
        --from;
    std::size_t to = end;
    while (to < v.size() && !IsLineBreak(v[to]))
        ++to;
    LinePieces out;
    if (at - from > kLeadBefore) {
        from = at - kLeadBefore;
        out.before = QStringLiteral("…");
    }
    out.before += FromCp1251(v.substr(from, at - from));
    out.match = FromCp1251(v.substr(at, end - at));
    out.after = FromCp1251(v.substr(end, to - end));
    for (QString* piece : {&out.before, &out.match, &out.after})
        piece->replace(QLatin1Char('\t'), QLatin1Char(' '));
    return out;
}

// Draws the line column's text with the match in bold; the other columns as usual.
class MatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QVariant start = index.data(kMatchStartRole);
        if (!start.isValid()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget)
                               .adjusted(margin, 0, -margin, 0);
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active)
                                               ? QPalette::Active
                                               : QPalette::Inactive;
        const bool selected = opt.state & QStyle::State_Selected;
        QFont bold = opt.font;
        bold.setBold(true);

        const int at = start.toInt();
        const int length = index.data(kMatchLengthRole).toInt();
        painter->save();
        painter->setClipRect(rect);
        painter->setPen(
            opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        int x = rect.left();
        const auto draw = [&](const QString& piece, const QFont& font) {
            if (piece.isEmpty() || x > rect.right()) return;
            painter->setFont(font);
            painter->drawText(QRect(x, rect.top(), rect.right() - x + 1, rect.height()),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, piece);
            x += QFontMetrics(font).horizontalAdvance(piece);
        };
        draw(text.left(at), opt.font);
        draw(text.mid(at, length), bold);
        draw(text.mid(at + length), opt.font);
        painter->restore();
    }
};

} // namespace

// The matches as the rows of the list. It reads the bar's vector only for the rows the view
// paints, so a search with a great many matches costs the view nothing more than a few.
class FindMatchesModel : public ListModel<SearchMatch> {
public:
    FindMatchesModel(const std::vector<SearchMatch>& matches, QObject* parent)
        : ListModel(matches,
                    {QStringLiteral("Функция"), QStringLiteral("Вариант"), QStringLiteral("Поле"),
                     QStringLiteral("Строка")},
                    parent) {}

    QVariant data(const QModelIndex& index, int role) const override {
        const SearchMatch* row = RowOf(index);
        if (row == nullptr) return {};
        const SearchMatch& m = *row;
        if (index.column() == LineColumn &&
            (role == Qt::DisplayRole || role == kMatchStartRole || role == kMatchLengthRole)) {
            const LinePieces pieces = PiecesOf(m);
            if (role == kMatchStartRole) return static_cast<int>(pieces.before.size());
            if (role == kMatchLengthRole) return static_cast<int>(pieces.match.size());
            return pieces.before + pieces.match + pieces.after;
        }
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
        case FunctionColumn:
            return QString::number(m.function);
        case AnswerColumn:
            return m.place().slot >= 0 ? QString::number(m.place().slot + 1) : QString();
        case FieldColumn:
            return FieldName(m);
        }
        return {};
    }
};

// Hears of each change before it is made, so the bar drops its matches (views into the project)
// before anything could paint them. It lives as long as the document that calls it; the bar
// may go first.
class FindBar::Watch final : public QObject, public ProjectObserver {
public:
    Watch(ProjectDocument& document, FindBar* bar) : QObject(&document), bar_(bar) {}
    void Changing(const ProjectChange&) override {
        if (bar_) bar_->DropMatches();
    }

private:
    QPointer<FindBar> bar_;
};

FindBar::FindBar(ProjectDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
    FindText = new QLineEdit(this);
    FindText->setObjectName(QStringLiteral("FindText"));
    FindText->setClearButtonEnabled(true);
    ReplaceText = new QLineEdit(this);
    ReplaceText->setObjectName(QStringLiteral("ReplaceText"));
    ReplaceButton = new QPushButton(QStringLiteral("Заменить"), this);
    ReplaceAllButton = new QPushButton(QStringLiteral("Заменить все"), this);
    for (QPushButton* button : {ReplaceButton, ReplaceAllButton}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
    }
    CloseButton = new QToolButton(this);
    CloseButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    CloseButton->setAutoRaise(true);
    CloseButton->setToolTip(QStringLiteral("Закрыть (Esc)"));
    Count = new QLabel(this);
    Count->setObjectName(QStringLiteral("Count"));
    Count->setMinimumWidth(Count->fontMetrics().horizontalAdvance(
        QStringLiteral("Заменено: 000000, обрезано: 000000")));

    Captions = new QCheckBox(QStringLiteral("Подписи"), this);
    Headers = new QCheckBox(QStringLiteral("Заголовок"), this);
    Lines = new QCheckBox(QStringLiteral("Текст"), this);
    Conditions = new QCheckBox(QStringLiteral("Условия"), this);
    Scripts = new QCheckBox(QStringLiteral("Скрипты ERM"), this);

    List = new QTreeView(this);
    List->setObjectName(QStringLiteral("List"));
    model_ = new FindMatchesModel(matches_, this);
    List->setModel(model_);
    List->setItemDelegate(new MatchDelegate(List));
    List->setRootIsDecorated(false);
    List->setItemsExpandable(false);
    List->setUniformRowHeights(true); // the view asks for no row's height: any count scrolls
    List->setAllColumnsShowFocus(true);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = List->header();
    header->setStretchLastSection(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int digit = List->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    header->resizeSection(FunctionColumn, digit * 12);
    header->resizeSection(AnswerColumn, digit * 9);
    header->resizeSection(FieldColumn, digit * 14);

    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("Искать в:"), this));
    for (QCheckBox* box : {Captions, Headers, Lines, Conditions, Scripts}) {
        box->setChecked(true);
        fields->addWidget(box);
        connect(box, &QCheckBox::toggled, this, &FindBar::SearchAgain);
    }
    fields->addStretch();

    auto* row = new QHBoxLayout;
    auto* findLabel = new QLabel(QStringLiteral("&Найти:"), this);
    findLabel->setBuddy(FindText);
    auto* replaceLabel = new QLabel(QStringLiteral("За&менить на:"), this);
    replaceLabel->setBuddy(ReplaceText);
    row->addWidget(findLabel);
    row->addWidget(FindText, 2);
    row->addWidget(replaceLabel);
    row->addWidget(ReplaceText, 1);
    row->addWidget(ReplaceButton);
    row->addWidget(ReplaceAllButton);
    row->addWidget(Count);
    row->addWidget(CloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addLayout(row);
    layout->addLayout(fields);
    layout->addWidget(List, 1);

    FindText->installEventFilter(this);
    ReplaceText->installEventFilter(this);
    connect(FindText, &QLineEdit::textChanged, this, [this] {
        current_ = -1;
        SearchAgain();
    });
    connect(ReplaceButton, &QPushButton::clicked, this, &FindBar::ReplaceCurrent);
    connect(ReplaceAllButton, &QPushButton::clicked, this, &FindBar::ReplaceEverything);
    connect(CloseButton, &QToolButton::clicked, this, &FindBar::Close);
    connect(List, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { GoToMatch(index.row()); });

    document_.AddObserver(new Watch(document_, this));
    connect(&document_, &ProjectDocument::AboutToReplace, this, &FindBar::DropMatches);
    connect(&document_, &ProjectDocument::Edited, this, &FindBar::ProjectChanged);
    connect(&document_, &ProjectDocument::Replaced, this, &FindBar::ProjectChanged);
    ShowCount();
}

FindBar::~FindBar() = default;

void FindBar::Activate() {
    show();
    FindText->setFocus(Qt::ShortcutFocusReason);
    FindText->selectAll();
}

SearchFields FindBar::ChosenFields() const {
    SearchFields fields;
    const auto take = [&](const QCheckBox* box, std::initializer_list<FieldId> ids) {
        if (box->isChecked())
            for (FieldId id : ids)
                fields = fields.With(id);
    };
    take(Captions, {FieldId::Hint, FieldId::Variant});
    take(Headers, {FieldId::Header});
    take(Lines, {FieldId::Text});
    take(Conditions, {FieldId::FailOn});
    take(Scripts, {FieldId::ScriptBefore, FieldId::ScriptAfter});
    return fields;
}

bool FindBar::Query(std::string& bytes) const {
    const QString text = FindText->text();
    if (!FitsCp1251(text.toStdU16String())) return false;
    bytes = ToCp1251(text);
    return true;
}

void FindBar::SearchAgain() {
    std::vector<SearchMatch> found;
    std::string query;
    if (Query(query)) found = Search(document_.project(), query, ChosenFields());
    model_->BeginReset();
    matches_ = std::move(found);
    model_->EndReset();
    stale_ = false;
    if (current_ >= static_cast<int>(matches_.size())) current_ = -1;
    ShowCount();
    ShowCurrent();
}

void FindBar::DropMatches() {
    if (matches_.empty()) return;
    model_->BeginReset();
    matches_.clear();
    model_->EndReset();
}

void FindBar::ProjectChanged() {
    // A hidden bar spends nothing on edits; it searches when it is shown again.
    if (isVisible()) {
        SearchAgain();
    } else {
        DropMatches();
        stale_ = true;
    }
}

void FindBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (stale_) SearchAgain();
}

void FindBar::ShowCount() {
    if (FindText->text().isEmpty())
        Count->clear();
    else if (matches_.empty())
        Count->setText(QStringLiteral("Не найдено"));
    else
        Count->setText(QStringLiteral("Найдено: %1").arg(matches_.size()));
}

void FindBar::ShowCurrent() {
    if (current_ < 0) return;
    const QModelIndex index = model_->index(current_, 0);
    List->setCurrentIndex(index);
    List->scrollTo(index);
}

void FindBar::GoToMatch(int row) {
    if (row < 0 || row >= static_cast<int>(matches_.size())) return;
    current_ = row;
    ShowCurrent();
    emit MatchActivated(matches_[static_cast<std::size_t>(row)].place());
}

void FindBar::NextMatch() {
    if (matches_.empty()) return;
    GoToMatch((current_ + 1) % static_cast<int>(matches_.size()));
}

void FindBar::PreviousMatch() {
    if (matches_.empty()) return;
    GoToMatch(current_ <= 0 ? static_cast<int>(matches_.size()) - 1 : current_ - 1);
}

void FindBar::ReplaceCurrent() {
    // With no match chosen yet, the first press shows the match the next one replaces.
    if (current_ < 0) {
        NextMatch();
        return;
    }
    std::string query;
    if (!Query(query)) return;
    try {
        Replacement done =
            ReplaceOne(document_.project(), matches_[static_cast<std::size_t>(current_)], query,
                       ToCp1251(ReplaceText->text()));
        // The search that follows the edit leaves the next match at the replaced one's row.
        document_.Push(std::move(done.edit));
        ShowReplaced(done);
    } catch (...) {
        emit Failed(FailureText(std::current_exception()));
        return;
    }
    if (matches_.empty()) {
        current_ = -1;
        return;
    }
    GoToMatch(current_ < 0 ? 0 : current_);
}

void FindBar::ReplaceEverything() {
    std::string query;
    if (!Query(query)) return;
    try {
        Replacement done =
            ReplaceAll(document_.project(), query, ToCp1251(ReplaceText->text()), ChosenFields());
        document_.Push(std::move(done.edit));
        current_ = -1;
        ShowReplaced(done);
    } catch (...) {
        emit Failed(FailureText(std::current_exception()));
    }
}

void FindBar::ShowReplaced(const Replacement& done) {
    Count->setText(QStringLiteral("Заменено: %1, обрезано: %2").arg(done.replaced).arg(done.cut));
}

void FindBar::Close() {
    hide();
    emit Closed();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter in the replacement replaces, as the button does.
            if (watched == ReplaceText)
                ReplaceCurrent();
            else if (key->modifiers() & Qt::ShiftModifier)
                PreviousMatch();
            else
                NextMatch();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace kv
