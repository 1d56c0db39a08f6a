#pragma once

#include "dialogs/message_windows.h"

#include <exception>

namespace tw {

// Runs an event handler of a window; what it throws goes to the application-wide handler
// and the window carries on.
template <class F> void Guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportApplicationException(e);
    }
}

} // namespace tw
