// The dialog and variant commands, the outline's own interaction (context menu, caption edit,
// double click, keys), the clipboard of dialogs and the two batch edits of answers.
//
// Not built yet: these handlers are declared and left empty, and nothing runs them. Their menu
// items, toolbar buttons and the context menu exist already; ConnectCommands is where they will
// be wired to them.
#include "app/main_window.h"

namespace kv {

void TMain::ConnectCommands() {}

void TMain::ToolButton5Click() {}
void TMain::ToolButton6Click() {}
void TMain::N28Click() {}
void TMain::N19Click() {}
void TMain::N26Click() {}
void TMain::N18Click() {}
void TMain::N14Click() {}
void TMain::N15Click() {}
void TMain::N21Click() {}
void TMain::N22Click() {}
void TMain::N17Click() {}
void TMain::N30Click() {}
void TMain::N32Click() {}
void TMain::N31Click() {}
void TMain::ToolButton10Click() {}
void TMain::ToolButton12Click() {}
void TMain::PopupMenu1Popup() {}
void TMain::TreeMouseDown(Qt::MouseButton) {}
void TMain::TreeEdited(QTreeWidgetItem*, const QString&) {}
void TMain::TreeDblClick() {}
void TMain::TreeKeyDown(int, Qt::KeyboardModifiers) {}

} // namespace kv
