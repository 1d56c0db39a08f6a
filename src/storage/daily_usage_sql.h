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

// The roll-up's days from firstKey up to endKey as logged activity of the type (see
// ItemDaysSQL).
std::string RollupActivitySQL(const std::string& firstKey, const std::string& endKey, int type);

// A period is read on one connection: its rows that the roll-up does not cover are read once
// into temporary tables of the connection (PeriodActivitySQL), and its seconds per day and
// item gathered from them and the roll-up (PeriodItemDaysSQL), from which the usage totals
// and the per-day figures are both read. The tables are the connection's own and go with it.

// The temporary table of the type's activity, in the columns of ItemDaysSQL's activity.
std::string PeriodActivityTable(int type);
// The temporary table of the period's seconds per day and item (PeriodItemDaysSQL).
extern const char* const PeriodItemDaysTable;

// The period's rows that the roll-up does not cover, as logged activity of the type (see
// ItemDaysSQL) added up per day and executable or address. The rows without a time, which
// the usage totals count in every period, come with the day NULL: no row with a time has
// one.
std::string PeriodActivitySQL(const TPeriodSplit& split, int type);

// The period's seconds per day and item of both types, in the columns of ItemDaysSQL: the
// gathered activity (PeriodActivityTable) charged now, the roll-up's days as they were
// charged (which must be built: BuildRollupDays, BuildItemDays).
std::string PeriodItemDaysSQL(const TPeriodSplit& split);

// The usage totals per watched item over the gathered period (PeriodItemDaysTable), the same
// rows as the fast queries give.
std::string ApplicationsPeriodUsageSQL();
std::string WebsitesPeriodUsageSQL();

// Per accounting day and watched item with time in the gathered period: the columns day
// ("yyyy-mm-dd"), type (TMonitoredItemType's value), name, caption and seconds, by day, type
// and name. Rows without a time belong to no day and are left out.
std::string DailyItemUsageSQL();

} // namespace tw
