#pragma once

#include <exception>

namespace tw {

// Makes the base window's notices (ShowWarning, the time-limit check) use the message
// window. The program's entry and the window tests call this once before any window.
void InstallMessageWindows();

// The application-wide handler for an exception that escaped an event handler: reports it
// to the error log ("ErrorClassName: ...; TApplicationErrorMessage.OnException:" and the
// message) and shows the error window, unless one is already open, so that a failure
// repeating on every timer tick adds reports but never piles up windows. Never throws.
void ReportApplicationException(const std::exception& e);

} // namespace tw
