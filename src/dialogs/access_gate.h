#pragma once

#include "storage/change_policy.h"

#include <functional>

class QWidget;

namespace tw {

class TOptions;

// Asks for the administrator password over the owner; true when it was given. The
// self-managed edition has no password: it answers true at once and shows nothing.
bool AskAdminPassword(TOptions& options, QWidget* owner);

// Asks the program for its decision; when that needs the administrator's password, asks for
// it over the owner and asks again. NeedsPassword stays the answer when none was given.
TChangeDecision DecideWithPassword(TOptions& options, QWidget* owner,
                                   const std::function<TChangeDecision()>& decide);

// Whether a guarded change (the list, the limit, the time-up action) may begin, asking for
// the password where the program needs it.
bool MayBeginChange(TOptions& options, QWidget* owner);

} // namespace tw
