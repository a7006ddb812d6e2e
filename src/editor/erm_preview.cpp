#include "editor/erm_preview.h"

#include "editor/qt_text.h"
#include "erm/generator.h"
#include "text/error.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>

#include <algorithm>

namespace kv {

namespace {

// ERM as the generator writes it: receivers and their triggers (!!XX, !?XX, !#XX), conditions
// after '&', strings between carets (a message may span lines), comments ("**" lines, ';'
// lines, and whatever follows the ';' that ends a command).
class ErmHighlighter : public QSyntaxHighlighter {
public:
    explicit ErmHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
        receiver_.setForeground(QColor(0x1a, 0x3f, 0x9e));
        receiver_.setFontWeight(QFont::Bold);
        condition_.setForeground(QColor(0x8a, 0x2b, 0x8f));
        string_.setForeground(QColor(0x1d, 0x7a, 0x2e));
        comment_.setForeground(QColor(0x80, 0x80, 0x80));
        comment_.setFontItalic(true);
    }

protected:
    void highlightBlock(const QString& line) override {
        enum State { Code = 0, InString = 1 };
        const auto n = line.size();
        qsizetype at = 0;
        setCurrentBlockState(Code);
        if (previousBlockState() == InString) {
            if (!String(line, at, 0)) return;
        } else {
            const QString trimmed = line.trimmed();
            if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QStringLiteral("**"))) {
                setFormat(0, n, comment_);
                return;
            }
            // Only command lines are ERM; other lines inside a function are the author's text.
            if (!(line.startsWith(QStringLiteral("!!")) || line.startsWith(QStringLiteral("!?")) ||
                  line.startsWith(QStringLiteral("!#"))))
                return;
            const qsizetype head = std::min<qsizetype>(n, 4);
            qsizetype end = head;
            while (end < n && line[end] != QLatin1Char('&') && line[end] != QLatin1Char(':') &&
                   line[end] != QLatin1Char(';'))
                ++end;
            setFormat(0, head, receiver_);
            at = end;
        }
        while (at < n) {
            const QChar c = line[at];
            if (c == QLatin1Char('^')) {
                if (!String(line, at, at + 1)) return;
            } else if (c == QLatin1Char('&')) {
                qsizetype end = at + 1;
                while (end < n && line[end] != QLatin1Char(':') && line[end] != QLatin1Char(';'))
                    ++end;
                setFormat(at, end - at, condition_);
                at = end;
            } else if (c == QLatin1Char(';')) {
                setFormat(at + 1, n - at - 1, comment_);
                return;
            } else {
                ++at;
            }
        }
    }

private:
    // A string from `from` (its opening caret, or the line start when it goes on from the line
    // before) to its closing caret; false when it runs on to the next line.
    bool String(const QString& line, qsizetype& at, qsizetype searchFrom) {
        const qsizetype close = line.indexOf(QLatin1Char('^'), searchFrom);
        if (close < 0) {
            setFormat(at, line.size() - at, string_);
            setCurrentBlockState(1);
            return false;
        }
        setFormat(at, close + 1 - at, string_);
        at = close + 1;
        return true;
    }

    QTextCharFormat receiver_, condition_, string_, comment_;
};

// The number that follows `prefix` in line, or -1.
qint64 NumberAfter(QStringView line, QStringView prefix) {
    const qsizetype at = line.indexOf(prefix);
    if (at < 0) return -1;
    qsizetype end = at + prefix.size();
    const qsizetype start = end;
    while (end < line.size() && line[end].isDigit()) ++end;
    if (end == start || end - start > 18) return -1;
    return line.mid(start, end - start).toLongLong();
}

// Whether a line of the generated code belongs to answer slot k: its caption (z k+1), or a line
// guarded by the answer's mask as the choice (y-2) or as the taken answer (y-3).
bool BelongsToAnswer(QStringView line, int k) {
    if (line.startsWith(u"!!VRz")) {
        const qint64 z = NumberAfter(line, u"!!VRz");
        return z == k + 1;
    }
    const qint64 mask = VariantMask(k);
    return NumberAfter(line, u"&y-2=") == mask || NumberAfter(line, u"&y-3=") == mask;
}

} // namespace

ErmPreview::ErmPreview(const Project& project, QWidget* parent)
    : QPlainTextEdit(parent), project_(project) {
    setObjectName(QStringLiteral("ErmPreview"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    new ErmHighlighter(document());
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, &ErmPreview::Refresh);
}

void ErmPreview::ShowPlace(Place place) {
    const bool sameDialog = place.dialog == place_.dialog;
    place_ = place;
    if (sameDialog && !refresh_.isActive() && !stale_)
        MarkAnswer();
    else
        Refresh();
}

void ErmPreview::ProjectChanged() { refresh_.start(); }

void ErmPreview::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    if (stale_) Refresh();
}

void ErmPreview::Refresh() {
    refresh_.stop();
    stale_ = !isVisible();
    if (stale_) return;
    QString text;
    if (const TDialogItem* dialog = project_.DialogAt(place_.dialog)) {
        try {
            std::string code;
            AppendDialogCode(code, *dialog);
            // The block opens with the empty line that parts it from the one before.
            const std::size_t start = code.find_first_not_of('\n');
            text = FromCp1251(start == std::string::npos ? std::string_view()
                                                         : std::string_view(code).substr(start));
        } catch (const Error& e) {
            text = QString::fromUtf8(e.what()); // the core's texts are UTF-8
        }
    }
    if (text != toPlainText()) {
        // An edit of the dialog shown keeps the place the user scrolled to.
        const int scrolled = verticalScrollBar()->value();
        setPlainText(text);
        verticalScrollBar()->setValue(scrolled);
    }
    MarkAnswer();
}

void ErmPreview::MarkAnswer() {
    QList<QTextEdit::ExtraSelection> marks;
    if (place_.slot >= 0 && place_.slot < kSlotCount) {
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(QColor(0xff, 0xf1, 0xb8));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            bool belongs = BelongsToAnswer(block.text(), place_.slot);
            // A skill's level is read into v1 on the line before the caption it may hide.
            if (!belongs && block.text().startsWith(QStringLiteral("!!HE-1:S")) &&
                block.next().isValid())
                belongs = BelongsToAnswer(block.next().text(), place_.slot);
            if (!belongs) continue;
            mark.cursor = QTextCursor(block);
            marks.append(mark);
        }
    }
    setExtraSelections(marks);
    if (!marks.isEmpty()) {
        // The answer's last line first, then its first: as much of it in sight as fits.
        setTextCursor(marks.back().cursor);
        ensureCursorVisible();
        setTextCursor(marks.front().cursor);
        ensureCursorVisible();
    }
}

} // namespace kv
