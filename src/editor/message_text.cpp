#include "editor/message_text.h"

#include "editor/modal_seam.h"
#include "editor/qt_text.h"
#include "editor/text_editor_window.h"

namespace kv {

QStringList MessageLines(const TDialogItem& dialog) {
    QStringList lines;
    for (const LineString& line : dialog.Text) lines << FromCp1251(line.view());
    while (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
    return lines;
}

void StoreMessageLines(TDialogItem& dialog, const QStringList& lines) {
    for (LineString& line : dialog.Text) line.clear();
    const auto n = std::min<qsizetype>(lines.size(), kTextLineCount);
    for (qsizetype i = 0; i < n; ++i)
        dialog.Text[static_cast<std::size_t>(i)] = ToCp1251(lines[i]);
}

bool EditMessage(TDialogItem& dialog, TForm2& window, ModalSeam& seam) {
    window.SetLines(MessageLines(dialog));
    seam.RunTextEditor(window);
    if (window.ResultFlag() != 0) return false;
    StoreMessageLines(dialog, window.Lines());
    return true;
}

} // namespace kv
