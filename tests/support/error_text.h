#pragma once

#include "text/error.h"

#include <string>

namespace kvtest {

// The user's text of the kv::Error that an action throws, or "(no error)".
template <class Action> std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const kv::Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace kvtest
