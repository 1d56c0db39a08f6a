#pragma once

#include "items/monitored_list.h"

namespace tw {

// Table of watched items of a type: applications_list or websites_list.
const char* MonitoredListTable(TMonitoredItemType type);

} // namespace tw
