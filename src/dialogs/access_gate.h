#pragma once

class QWidget;

namespace tw {

class TOptions;

// Asks for the administrator password over the owner; true when it was given. The
// self-managed edition has no password: it answers true at once and shows nothing.
bool AskAdminPassword(TOptions& options, QWidget* owner);

// Whether a guarded change (the list, the limit, the time-up action) may begin: always in
// the self-managed edition, else when the user may change settings or the administrator
// gives the password.
bool ChangeGate(TOptions& options, QWidget* owner);

} // namespace tw
