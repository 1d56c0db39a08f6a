#pragma once

#include "platform/instance_lock.h"
#include "storage/places.h"

#include <memory>
#include <string>

namespace tw {

// Data folder + "Tallywick.lock": held exclusively while the program runs.
std::string LockPath(const TPlaces& places);
// Data folder + "Tallywick.flag": written by an outside component, deleted at exit.
std::string FlagPath(const TPlaces& places);
// Program folder + "uninstall.flag": an uninstaller asks the program to end with it.
std::string UninstallFlagPath(const TPlaces& places);

// Takes the single-instance lock (its folder is made when missing); null when another copy
// holds it. Throws when the lock file cannot be created.
std::unique_ptr<TInstanceLock> AcquireInstanceLock(TInstanceLocks& locks, const TPlaces& places);

// The uninstall watch: whether the uninstaller's marker exists.
bool UninstallRequested(const TPlaces& places);
// Deletes "Tallywick.flag" when it exists (at exit, also in a copy that did not start).
void RemoveFlagFile(const TPlaces& places);

} // namespace tw
