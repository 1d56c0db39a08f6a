#pragma once

#include "items/monitored_list.h"

#include <vector>

namespace tw {

// Merges what the add wizard hands back into a list (and the day's copy of it, when given),
// entry by entry: a checked entry is added when it is new, otherwise the listed item takes
// its caption and activity; an unchecked active entry leaves the list; an unchecked inactive
// one stays on it, deactivated. The program's own executable is never added.
struct TListChangeReport {
    // Items deactivated here: their removal waits for the next daily reset.
    std::vector<const TMonitoredItem*> deactivated;
    // Items that were waiting for their removal and are wanted again.
    std::vector<const TMonitoredItem*> reactivated;
};
TListChangeReport MergeListChanges(const TMonitoredList& changes, TMonitoredList& list,
                                   TMonitoredList* today);

} // namespace tw
