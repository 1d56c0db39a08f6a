#pragma once

#include "monitor/probe.h"

#include <string>

namespace tw {

// One line of JSON describing what the probe found and which list item, if any, covers it:
// the answer to "why is this not counted?".
std::string ProbeReportJson(const TOnlineTimeApplication& probe, const TMonitoredList* list);

} // namespace tw
