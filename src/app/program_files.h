#pragma once

#include "platform/desktop.h"

#include <memory>
#include <string>

namespace tw {

// Data folder + "Tallywick.lock": held exclusively while the program runs.
std::string LockPath();
// Data folder + "Tallywick.flag": written by an outside component, deleted at exit.
std::string FlagPath();
// Program folder + "uninstall.flag": an uninstaller asks the program to end with it.
std::string UninstallFlagPath();

// Takes the single-instance lock (the data folder is made first); null when another copy
// holds it. Throws when the lock file cannot be created.
std::unique_ptr<TInstanceLock> AcquireInstanceLock(TDesktop& desktop);

// The uninstall watch: whether the uninstaller's marker exists.
bool UninstallRequested();
// Deletes "Tallywick.flag" when it exists (at exit, also in a copy that did not start).
void RemoveFlagFile();

} // namespace tw
