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
    bool oneDay;     // all its rows have the same day
};
std::vector<TRowRange> RowRanges(const TPeriodSplit& split) {
    // The rows without a time, which the totals count in every period, belong to no day.
    TRowRange timeless{"date_created IS NULL", "NULL", true};
    if (!split.UsesRollup()) {
        return {{"date_created BETWEEN " + Quoted(split.from) + " AND " + Quoted(split.to),
                 RollupDayOf("date_created"), false},
                timeless};
    }
    // The first lies within one day, and so does the last unless the period runs on past
    // today: their rows' day then needs no working out.
    const bool lastIsOneDay =
        RollupDayKey(AccountingDayStart(split.to)) == RollupDayKey(split.endDay);
    return {{"date_created >= " + Quoted(split.from) + " AND date_created < " +
                 RollupDayStartSQL(split.firstDay),
             QuotedStr(RollupDayKey(split.firstDay - 1)), true},
            {"date_created >= " + RollupDayStartSQL(split.endDay) +
                 " AND date_created <= " + Quoted(split.to),
             lastIsOneDay ? QuotedStr(RollupDayKey(split.endDay)) : RollupDayOf("date_created"),
             lastIsOneDay},
            timeless};
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

std::string ActivityKey(int type) {
    return type == AppType ? "app_name" : "browser_url";
}

// The gathered period's seconds per day and item of one type, the day NULL for the rows
// without a time.
std::string GatheredItemDays(int type) {
    return std::string("SELECT day, type, name, seconds FROM ") + PeriodItemDaysTable +
           " WHERE type = " + std::to_string(type);
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

std::string RollupActivitySQL(const std::string& firstKey, const std::string& endKey, int type) {
    return "SELECT day, " + ActivityColumns(type) + " FROM daily_usage WHERE " +
           ActivityFilter(type) + "day >= " + QuotedStr(firstKey) + " AND day < " +
           QuotedStr(endKey);
}

const char* const PeriodItemDaysTable = "temp.period_item_days";

std::string PeriodActivityTable(int type) {
    return type == AppType ? "temp.period_app_activity" : "temp.period_site_activity";
}

std::string PeriodActivitySQL(const TPeriodSplit& split, int type) {
    const std::string key = ActivityKey(type);
    std::string sql;
    for (const TRowRange& range : RowRanges(split)) {
        // Added up range by range, by the key alone where the day is the same for all: far
        // less sorting than all rows by day and key. The unary "+" keeps the planner on the
        // time range, where an index in the key's order would have it read every row.
        sql += (sql.empty() ? "SELECT " : " UNION ALL SELECT ") + range.day + " AS day, " + key +
               ", SUM(duration) AS duration FROM applications WHERE " + ActivityFilter(type) +
               range.condition + " GROUP BY " + (range.oneDay ? "+" : "1, +") + key;
    }
    return sql;
}

std::string PeriodItemDaysSQL(const TPeriodSplit& split) {
    std::string sql;
    for (const int type : {AppType, WebType}) {
        sql += (sql.empty() ? "" : " UNION ALL ") + std::string("SELECT * FROM (") +
               ItemDaysSQL("SELECT day, " + ActivityColumns(type) + " FROM " +
                               PeriodActivityTable(type),
                           type, split.addressesMatched) +
               ")";
        if (split.UsesRollup()) {
            sql +=
                " UNION ALL SELECT day, type, name, seconds FROM daily_item_usage WHERE type = " +
                std::to_string(type) + " AND " + RollupRange(split);
        }
    }
    return sql;
}

std::string ApplicationsPeriodUsageSQL() {
    return ListUsageSQL("applications_list", "SELECT name, SUM(seconds) AS duration FROM (" +
                                                 GatheredItemDays(AppType) + ") GROUP BY name");
}

std::string WebsitesPeriodUsageSQL() {
    return ListUsageSQL("websites_list", "SELECT name, SUM(seconds) AS duration FROM (" +
                                             GatheredItemDays(WebType) + ") GROUP BY name");
}

std::string DailyItemUsageSQL() {
    // The lists are the small side: looked up for each of the days' rows, rather than the
    // days' rows indexed anew for each read.
    return std::string("WITH l AS MATERIALIZED (SELECT ") + std::to_string(AppType) +
           " AS type, name, caption FROM applications_list UNION ALL SELECT " +
           std::to_string(WebType) +
           " AS type, name, caption FROM websites_list) SELECT d.day AS day, d.type AS type, "
           "l.name AS name, l.caption AS caption, SUM(d.seconds) AS seconds FROM " +
           PeriodItemDaysTable +
           " d CROSS JOIN l ON d.type = l.type AND d.name = l.name WHERE d.day IS NOT NULL "
           "GROUP BY d.day, d.type, l.name HAVING SUM(d.seconds) <> 0 ORDER BY d.day, d.type, "
           "l.name";
}

} // namespace tw
