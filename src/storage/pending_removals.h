#pragma once

#include "items/monitored_item.h"

#include <string>
#include <vector>

namespace tw {

class TSettingsFile;

// Items a user deactivated leave the list at the next daily reset
// (TChangePolicy::ApplyPendingRemovals); until then their names wait in the settings file,
// in the section of their kind.

// Notes the item's removal; without the note it would stay on the list, inactive, for ever.
void RecordPendingRemoval(TSettingsFile& file, const TMonitoredItem& item);
// An item waiting for its removal that is wanted again stays.
void CancelPendingRemoval(TSettingsFile& file, const TMonitoredItem& item);
// The names of the items waiting for their removal.
std::vector<std::string> PendingRemovalNames(const TSettingsFile& file);
// The daily reset drops every note.
void ClearPendingRemovals(TSettingsFile& file);

} // namespace tw
