#pragma once

#include <QString>

#include <exception>
#include <functional>

namespace kv {

class ModalSeam;

// The text the window shows for a failure that ended a command: "Недостаточно памяти" when
// memory ran out, the core's own text for its errors, and the text of any other exception.
QString FailureText(const std::exception_ptr& failure);

// Runs one command of the window. No failure may leave it for Qt's event loop, where it would
// end the program and the unsaved work with it: any exception is shown in an error box instead.
// True when the command ran to its end.
bool RunGuarded(ModalSeam& seam, const std::function<void()>& command);

} // namespace kv
