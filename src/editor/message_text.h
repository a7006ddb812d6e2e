#pragma once

#include "model/project_edits.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace kv {

class ModalSeam;
class TForm2;

// A dialog's message as the text editor window shows it: lines 1 to 30, without the empty lines
// at the end (empty lines between others stay).
QStringList MessageLines(const TDialogItem& dialog);
// Edited lines as changes of the message of the dialog at `position`: all thirty lines, the
// lines given first (each cut to 255 characters as it is stored), the rest emptied; lines after
// the thirtieth are dropped.
std::vector<FieldChange> MessageChanges(int position, const QStringList& lines);

// One pass of the text editor window over a dialog's message: load, show modally; the lines
// when the user saved, nothing when the text was discarded.
std::optional<QStringList> EditMessage(const TDialogItem& dialog, TForm2& window, ModalSeam& seam);

} // namespace kv
