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

std::vector<FieldChange> MessageChanges(int position, const QStringList& lines) {
    std::vector<FieldChange> changes;
    for (int i = 0; i < kTextLineCount; ++i) {
        const std::string text = i < lines.size() ? ToCp1251(lines[i]) : std::string();
        changes.push_back({{FieldId::Text, position, i}, FieldValue::Text(text)});
    }
    return changes;
}

std::optional<QStringList> EditMessage(const TDialogItem& dialog, TForm2& window, ModalSeam& seam) {
    window.SetLines(MessageLines(dialog));
    seam.RunTextEditor(window);
    if (window.ResultFlag() != 0) return std::nullopt;
    return window.Lines();
}

} // namespace kv
