#include "editor/command_guard.h"

#include "editor/modal_seam.h"

#include <new>

namespace kv {

QString FailureText(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Недостаточно памяти");
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what()); // the core's texts are UTF-8
    } catch (...) {
        return QStringLiteral("Неизвестная ошибка");
    }
}

bool RunGuarded(ModalSeam& seam, const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (...) {
        // Reporting needs a little memory of its own; when even that is gone, the command still
        // ends here rather than in the event loop.
        try {
            ShowError(seam, FailureText(std::current_exception()));
        } catch (...) {
        }
        return false;
    }
}

} // namespace kv
