#pragma once

#include "monitor/probe.h"

#include <string>

namespace tw {

// One line of JSON describing what the probe found and which list item, if any, covers it:
// the answer to "why is this not counted?". It names the desktop that answered (its backend's
// name): on Wayland which compositor was asked.
std::string ProbeReportJson(const std::string& desktop, const TOnlineTimeApplication& probe,
                            const TMonitoredList* list);

} // namespace tw
