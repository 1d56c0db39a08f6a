#pragma once

#include <exception>

class QObject;

namespace tw {

class TWindowKit;

// Makes the kit's notices (ShowWarning, the time-limit check) use the message window. The
// program's entry and the window tests call this once for each kit they make.
void InstallMessageWindows(TWindowKit& kit);

// The application-wide handler for an exception that escaped an event handler: reports it
// to the kit's error log ("ErrorClassName: ...; TApplicationErrorMessage.OnException:" and
// the message) and shows the error window, unless one is already open, so that a failure
// repeating on every timer tick adds reports but never piles up windows. Never throws.
void ReportApplicationException(TWindowKit& kit, const std::exception& e);
// The same for a handler of a window, or of a part of one: reported through that window's
// kit.
void ReportApplicationException(const QObject* inWindow, const std::exception& e);

} // namespace tw
