#pragma once

#include "base/date_time.h"

#include <string>

namespace tw {

// How a usage period [from, to] is read: the whole closed days from firstDay up to endDay
// from the daily roll-up, the rest (before firstDay, from endDay on) from the rows.
struct TPeriodSplit {
    TDateTime from = 0;
    TDateTime to = 0;
    TDateTime firstDay = 0;
    TDateTime endDay = 0;
    // The addresses of the rows have been matched to the website items (MatchNewAddresses).
    bool addressesMatched = false;
    bool UsesRollup() const { return firstDay < endDay; }
};

// Today (the day starting at todayStart) and later days are never taken from the roll-up.
TPeriodSplit SplitPeriod(TDateTime from, TDateTime to, TDateTime todayStart);
// The same period read from the rows alone.
TPeriodSplit RowsOnly(TDateTime from, TDateTime to);

// The seconds per day and watched item of the type (TMonitoredItemType's value) in the
// columns day, type, name and seconds, each list name once whatever its rows: an item is
// charged what the usage totals charge it of the logged activity that the query gives, in
// the columns day, app_name and duration of the rows logged as applications for the
// applications, day, browser_url and duration of all rows for the websites.
// With matched, the websites' matches are read from those kept (MatchNewAddresses), which
// must hold every address of the activity.
std::string ItemDaysSQL(const std::string& activity, int type, bool matched = false);

// The addresses (browser_url) of the period's rows that the roll-up does not cover.
std::string PeriodAddressesSQL(const TPeriodSplit& split);

// The roll-up's days from firstKey up to endKey as logged activity of the type (see
// ItemDaysSQL).
std::string RollupActivitySQL(const std::string& firstKey, const std::string& endKey, int type);

// The usage totals per watched item, the same rows as the fast queries give, with the whole
// days read from the roll-up (which must hold them: BuildRollupDays, BuildItemDays).
std::string ApplicationsUsageRollupSQL(const TPeriodSplit& split);
std::string WebsitesUsageRollupSQL(const TPeriodSplit& split);

// Per accounting day and watched item with time in the period: the columns day
// ("yyyy-mm-dd"), type (TMonitoredItemType's value), name, caption and seconds, by day, type
// and name. Rows without a time belong to no day and are left out.
std::string DailyItemUsageSQL(const TPeriodSplit& split);

} // namespace tw
