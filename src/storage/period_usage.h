#pragma once

#include "base/date_time.h"
#include "items/monitored_item.h"
#include "storage/daily_usage_sql.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

class TSQLiteDatabase;

// The seconds of one watched item on one accounting day.
struct TDailyItemUsage {
    std::string day; // "yyyy-mm-dd", the date the accounting day starts on
    TMonitoredItemType type = TMonitoredItemType::mitAll;
    std::string name;
    std::string caption;
    std::int64_t seconds = 0;
};

// Readies the daily roll-up of the activity database for the period, now being the current
// time, and says how to read it. When the file cannot take the roll-up (it is locked, or
// cannot be written) the period is read from the rows alone: slower, the same figures.
TPeriodSplit PreparePeriod(const std::string& path, TDateTime from, TDateTime to, TDateTime now);

// The period's seconds per day and item (DailyItemUsageSQL). Throws the database's error.
std::vector<TDailyItemUsage> ReadDailyItemUsage(TSQLiteDatabase& db, const TPeriodSplit& split);

} // namespace tw
