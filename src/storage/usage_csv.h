#pragma once

#include "storage/period_usage.h"

#include <string>
#include <vector>

namespace tw {

// The usage of a period as a CSV file's text (UTF-8, RFC 4180: fields holding a comma, a
// quote or a line break are quoted, quotes doubled; lines end in CRLF). The first line names
// the columns; then one line per day and item: date, item caption, name, type, seconds.
std::string UsageCsv(const std::vector<TDailyItemUsage>& days);

} // namespace tw
