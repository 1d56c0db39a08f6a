#pragma once

#include "dialogs/message_windows.h"

#include <exception>

namespace tw {

// Runs an event handler of a window, or of a part of one (inWindow: the window or one of its
// children); what it throws goes to the application-wide handler through the window's kit
// and the window carries on.
template <class F> void Guarded(const QObject* inWindow, F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportApplicationException(inWindow, e);
    }
}

} // namespace tw
