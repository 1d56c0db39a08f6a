#pragma once

#include "platform/desktop.h"

#include <memory>
#include <string>

namespace tw {

class TOptions;

// Data folder + "Tallywick.lock": held exclusively while the program runs.
std::string LockPath();
// Data folder + "Tallywick.flag": written by an outside component, deleted at exit.
std::string FlagPath();
// Program folder + "uninstall.flag": an uninstaller asks the program to end with it.
std::string UninstallFlagPath();

// Takes the single-instance lock; false when another copy holds it. Throws when the lock
// file cannot be created.
bool InstanceLockAcquire(TDesktop& desktop);
// Closes the lock and deletes the lock file.
void InstanceLockRelease();

// The uninstall watch: whether the uninstaller's marker exists.
bool UninstallRequested();
// Deletes "Tallywick.flag" when it exists (at exit, also in a copy that did not start).
void RemoveFlagFile();

// The end of the process, after the loop: the options saved and released, the flag file
// deleted, the settings file released.
void FinishProgram();

// The session is ending, and the system may end the process as soon as the program says
// it is done: what must outlive it is made so at once. The lock is released, the options
// saved (null: not loaded yet) and the flag file deleted; every object stays usable, so
// this may run in the middle of a handler. The usual end follows if the process lives on.
void SecureForSessionEnd(TOptions* options);

} // namespace tw
