#pragma once

namespace kv {

// Loads Qt's own Russian texts (the standard buttons, the file dialogs, the input prompt), so
// that nothing of the window speaks English. False when they are not installed: the program then
// runs with Qt's English texts.
bool LoadRussianQtTexts();

} // namespace kv
