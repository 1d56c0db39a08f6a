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
// time, and gathers the period's seconds per day and item on the connection
// (PeriodItemDaysTable), reading its rows once, for the usage totals
// (ApplicationsPeriodUsageSQL, WebsitesPeriodUsageSQL) and ReadDailyItemUsage to read on the
// same connection; says how the period was split. When the file cannot take the roll-up (it
// is locked, or cannot be written) the period is read from the rows alone: slower, the same
// figures. Throws the database's error when the rows cannot be read.
TPeriodSplit GatherPeriodUsage(TSQLiteDatabase& db, TDateTime from, TDateTime to, TDateTime now);

// The gathered period's seconds per day and item (DailyItemUsageSQL). Throws the database's
// error.
std::vector<TDailyItemUsage> ReadDailyItemUsage(TSQLiteDatabase& db);

} // namespace tw
