#pragma once

#include "items/monitored_list.h"

namespace tw {

class TSettingsDatabase;

// Table of watched items of a type: applications_list or websites_list.
const char* MonitoredListTable(TMonitoredItemType type);
// Adds the rows of both tables to the list; a failed query ends it (the database notes it).
void ReadMonitoredLists(TSettingsDatabase& db, TMonitoredList& list);

} // namespace tw
