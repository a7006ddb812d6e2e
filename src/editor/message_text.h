#pragma once

#include "model/dialog_item.h"

#include <QStringList>

namespace kv {

class ModalSeam;
class TForm2;

// A dialog's message as the text editor window shows it: lines 1 to 30, without the empty lines
// at the end (empty lines between others stay).
QStringList MessageLines(const TDialogItem& dialog);
// Stores edited lines as the message: every line emptied first, then lines 1 to 30 taken, each
// cut to 255 characters; lines after the thirtieth are dropped.
void StoreMessageLines(TDialogItem& dialog, const QStringList& lines);

// One pass of the text editor window over a dialog's message: load, show modally, and store
// when the user saved. True when the text was stored.
bool EditMessage(TDialogItem& dialog, TForm2& window, ModalSeam& seam);

} // namespace kv
