#pragma once

#include "platform/instance_lock.h"
#include "storage/places.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tw {

class TErrorLog;

// Data folder + "Tallywick.lock": held exclusively while the program runs.
std::string LockPath(const TPlaces& places);
// Data folder + "Tallywick.flag": written by an outside component, deleted at exit.
std::string FlagPath(const TPlaces& places);
// Program folder + "uninstall.flag": an uninstaller asks the program to end with it.
std::string UninstallFlagPath(const TPlaces& places);

// Takes the single-instance lock (its folder is made when missing); null when another copy
// holds it. Throws when the lock file cannot be created.
std::unique_ptr<TInstanceLock> AcquireInstanceLock(TInstanceLocks& locks, const TPlaces& places);

// The uninstaller's marker as this copy found it at its start: its last write, when it was
// there already and could not be removed.
using TStaleMarker = std::optional<std::filesystem::file_time_type>;
// At the start: a marker already there is no order to this copy, whatever left it (an
// uninstall that was interrupted, or anything else). It is removed and logged; where it
// cannot be removed (a program folder the person may not write), the answer says what to
// ignore.
TStaleMarker SetAsideStaleUninstallFlag(const TPlaces& places, TErrorLog& log);
// The uninstall watch: whether a marker made since the start exists.
bool UninstallRequested(const TPlaces& places, const TStaleMarker& stale);
// Deletes "Tallywick.flag" when it exists (at exit, also in a copy that did not start).
void RemoveFlagFile(const TPlaces& places);

} // namespace tw
