#include "storage/daily_usage_sql.h"

#include "base/text.h"
#include "items/monitored_item.h"
#include "storage/activity_logger.h"
#include "storage/daily_rollup.h"
#include "storage/date_format.h"
#include "storage/usage_sql.h"

#include <algorithm>
#include <vector>

namespace tw {
namespace {

const int AppType = static_cast<int>(TMonitoredItemType::mitApp);
const int WebType = static_cast<int>(TMonitoredItemType::mitWeb);

std::string Quoted(TDateTime when) {
    return QuotedStr(DateTimeToSQL(when));
}

// The rows of the period that the roll-up does not cover: each a range of the time, read
// on its own so that each is an index range (two ranges joined by OR would be a scan).
struct TRowRange {
    std::string condition;
    std::string day; // the day of its rows, as an SQL expression
};
std::vector<TRowRange> RowRanges(const TPeriodSplit& split) {
    if (!split.UsesRollup()) {
        return {{"date_created BETWEEN " + Quoted(split.from) + " AND " + Quoted(split.to),
                 RollupDayOf("date_created")}};
    }
    // The first lies within one day, and so does the last unless the period runs on past
    // today: their rows' day then needs no working out.
    const bool lastIsOneDay =
        RollupDayKey(AccountingDayStart(split.to)) == RollupDayKey(split.endDay);
    return {{"date_created >= " + Quoted(split.from) + " AND date_created < " +
                 RollupDayStartSQL(split.firstDay),
             QuotedStr(RollupDayKey(split.firstDay - 1))},
            {"date_created >= " + RollupDayStartSQL(split.endDay) +
                 " AND date_created <= " + Quoted(split.to),
             lastIsOneDay ? QuotedStr(RollupDayKey(split.endDay)) : RollupDayOf("date_created")}};
}

std::string RollupRange(const TPeriodSplit& split) {
    return "day >= " + QuotedStr(RollupDayKey(split.firstDay)) + " AND day < " +
           QuotedStr(RollupDayKey(split.endDay));
}

// What the items of a type are charged by: for applications the executables logged as
// such, for websites every address. Read through the indexes that cover them.
std::string ActivityColumns(int type) {
    return type == AppType ? "app_name, duration" : "browser_url, duration";
}
std::string ActivityFilter(int type) {
    return type == AppType ? "origin = 1 AND " : "";
}

// The rows the roll-up does not cover as logged activity of the type; with the timeless rows
// (no day), which the totals count in every period.
std::string RowsActivity(const TPeriodSplit& split, int type, bool timeless) {
    std::string sql;
    for (const TRowRange& range : RowRanges(split)) {
        sql += (sql.empty() ? "SELECT " : " UNION ALL SELECT ") + range.day + " AS day, " +
               ActivityColumns(type) + " FROM applications WHERE " + ActivityFilter(type) +
               range.condition;
    }
    if (timeless) {
        sql += " UNION ALL SELECT NULL AS day, " + ActivityColumns(type) +
               " FROM applications WHERE " + ActivityFilter(type) + "date_created IS NULL";
    }
    return sql;
}

// The period's seconds per day and item of one type: the roll-up's days as they were
// charged, the rest charged now.
std::string PeriodItemDays(const TPeriodSplit& split, int type, bool timeless) {
    std::string sql =
        "SELECT * FROM (" +
        ItemDaysSQL(RowsActivity(split, type, timeless), type, split.addressesMatched) + ")";
    if (split.UsesRollup()) {
        sql += " UNION ALL SELECT day, type, name, seconds FROM daily_item_usage WHERE type = " +
               std::to_string(type) + " AND " + RollupRange(split);
    }
    return sql;
}

std::string PeriodTotals(const TPeriodSplit& split, int type) {
    // Worked out once, not once per list row.
    return "WITH d AS MATERIALIZED (" + PeriodItemDays(split, type, true) +
           ") SELECT name, SUM(seconds) AS duration FROM d GROUP BY name";
}

} // namespace

TPeriodSplit SplitPeriod(TDateTime from, TDateTime to, TDateTime todayStart) {
    TPeriodSplit split{from, to, AccountingDayStart(from), AccountingDayStart(to)};
    if (split.firstDay < from) {
        split.firstDay += 1;
    }
    split.endDay = std::min(split.endDay, todayStart);
    // Day starts are whole days apart: compare by their keys, not by rounding of times.
    if (RollupDayKey(split.firstDay) >= RollupDayKey(split.endDay)) {
        return RowsOnly(from, to);
    }
    return split;
}

TPeriodSplit RowsOnly(TDateTime from, TDateTime to) {
    return TPeriodSplit{from, to, from, from};
}

std::string ItemDaysSQL(const std::string& activity, int type, bool matched) {
    // Each list name once: a name listed twice is counted twice by the totals' join with
    // the list, not here. A site's match is asked once per distinct address.
    if (type == AppType) {
        return "WITH s AS (SELECT day, app_name, SUM(duration) AS duration FROM (" + activity +
               ") GROUP BY day, app_name) SELECT s.day AS day, " + std::to_string(AppType) +
               " AS type, n.name AS name, SUM(s.duration) AS seconds FROM (SELECT DISTINCT name "
               "FROM applications_list) n JOIN s ON " +
               ProgramCoversSQL("n", "s") + " GROUP BY s.day, n.name";
    }
    const std::string matches =
        matched ? "SELECT name, browser_url FROM url_item_match WHERE browser_url IN (SELECT "
                  "browser_url FROM s)"
                : "SELECT n.name AS name, a.browser_url AS browser_url FROM (SELECT DISTINCT name "
                  "FROM websites_list) n JOIN (SELECT DISTINCT browser_url FROM s) a ON "
                  "url_matches(n.name, a.browser_url)";
    return "WITH s AS (SELECT day, browser_url, SUM(duration) AS duration FROM (" + activity +
           ") GROUP BY day, browser_url), m AS (" + matches + ") SELECT s.day AS day, " +
           std::to_string(WebType) +
           " AS type, m.name AS name, SUM(s.duration) AS seconds FROM m JOIN s ON s.browser_url = "
           "m.browser_url GROUP BY s.day, m.name";
}

std::string PeriodAddressesSQL(const TPeriodSplit& split) {
    return RowsActivity(split, WebType, true);
}

std::string RollupActivitySQL(const std::string& firstKey, const std::string& endKey, int type) {
    return "SELECT day, " + ActivityColumns(type) + " FROM daily_usage WHERE " +
           ActivityFilter(type) + "day >= " + QuotedStr(firstKey) + " AND day < " +
           QuotedStr(endKey);
}

std::string ApplicationsUsageRollupSQL(const TPeriodSplit& split) {
    return ListUsageSQL("applications_list", PeriodTotals(split, AppType));
}

std::string WebsitesUsageRollupSQL(const TPeriodSplit& split) {
    return ListUsageSQL("websites_list", PeriodTotals(split, WebType));
}

std::string DailyItemUsageSQL(const TPeriodSplit& split) {
    // Both sides are worked out once, then joined.
    return "WITH d AS MATERIALIZED (" + PeriodItemDays(split, AppType, false) + " UNION ALL " +
           PeriodItemDays(split, WebType, false) + "), l AS MATERIALIZED (SELECT " +
           std::to_string(AppType) +
           " AS type, name, caption FROM applications_list UNION ALL SELECT " +
           std::to_string(WebType) +
           " AS type, name, caption FROM websites_list) SELECT d.day AS day, d.type AS type, "
           "l.name AS name, l.caption AS caption, SUM(d.seconds) AS seconds FROM d JOIN l ON "
           "d.type = l.type AND d.name = l.name GROUP BY d.day, d.type, l.name HAVING "
           "SUM(d.seconds) <> 0 ORDER BY d.day, d.type, l.name";
}

} // namespace tw
