#include "storage/daily_usage_sql.h"

#include "base/text.h"
#include "items/monitored_item.h"
#include "storage/activity_logger.h"
#include "storage/daily_rollup.h"
#include "storage/date_format.h"
#include "storage/usage_sql.h"

#include <algorithm>

namespace tw {
namespace {

std::string Quoted(TDateTime when) {
    return QuotedStr(DateTimeToSQL(when));
}

// The rows of the period that the roll-up does not cover, as a condition on the time.
std::string RowsCondition(const TPeriodSplit& split) {
    if (!split.UsesRollup()) {
        return "(date_created BETWEEN " + Quoted(split.from) + " AND " + Quoted(split.to) + ")";
    }
    return "((date_created >= " + Quoted(split.from) + " AND date_created < " +
           Quoted(split.firstDay) + ") OR (date_created >= " + Quoted(split.endDay) +
           " AND date_created <= " + Quoted(split.to) + "))";
}

std::string RollupCondition(const TPeriodSplit& split) {
    return "day >= " + QuotedStr(RollupDayKey(split.firstDay)) + " AND day < " +
           QuotedStr(RollupDayKey(split.endDay));
}

// The period's seconds per day and logged activity: the roll-up's days and the rest from
// the rows.
std::string DailyActivity(const TPeriodSplit& split) {
    std::string sql = "SELECT " + RollupDayOf("date_created") +
                      " AS day, origin, app_name, browser_url, duration FROM applications WHERE " +
                      RowsCondition(split);
    if (split.UsesRollup()) {
        sql += " UNION ALL SELECT day, origin, app_name, browser_url, duration FROM daily_usage "
               "WHERE " +
               RollupCondition(split);
    }
    return sql;
}

// Totals of one logged column over the period; the origin filter, when given, keeps the
// rows logged as applications.
std::string Totals(const TPeriodSplit& split, const std::string& column, const char* origin) {
    const std::string filter = origin ? std::string(origin) + " AND " : std::string();
    std::string parts =
        "SELECT " + column + ", duration FROM applications WHERE " + filter + RowsCondition(split);
    if (split.UsesRollup()) {
        parts += " UNION ALL SELECT " + column + ", duration FROM daily_usage WHERE " + filter +
                 RollupCondition(split);
    }
    parts += " UNION ALL SELECT " + column + ", duration FROM applications WHERE " + filter +
             "date_created IS NULL";
    return "SELECT " + column + ", SUM(duration) AS duration FROM (" + parts + ") GROUP BY " +
           column;
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

std::string ApplicationsUsageRollupSQL(const TPeriodSplit& split) {
    return ApplicationsUsageOverSQL(Totals(split, "app_name", "origin = 1"));
}

std::string WebsitesUsageRollupSQL(const TPeriodSplit& split) {
    return WebsitesUsageOverSQL(Totals(split, "browser_url", nullptr));
}

std::string DailyItemUsageSQL(const TPeriodSplit& split) {
    const std::string app = std::to_string(static_cast<int>(TMonitoredItemType::mitApp));
    const std::string web = std::to_string(static_cast<int>(TMonitoredItemType::mitWeb));
    // A site's match is asked once per distinct address, not once per address and day.
    return "WITH t AS (" + DailyActivity(split) +
           "), apps AS (SELECT day, app_name, SUM(duration) AS duration FROM t WHERE origin = 1 "
           "GROUP BY day, app_name), "
           "sites AS (SELECT day, browser_url, SUM(duration) AS duration FROM t GROUP BY day, "
           "browser_url), "
           "matched AS (SELECT wl.name AS name, wl.caption AS caption, a.browser_url AS "
           "browser_url FROM websites_list wl JOIN (SELECT DISTINCT browser_url FROM sites) a "
           "ON url_matches(wl.name, a.browser_url)) "
           "SELECT day, type, name, caption, seconds FROM ("
           "SELECT s.day AS day, " +
           app +
           " AS type, al.name AS name, al.caption AS caption, SUM(s.duration) AS seconds FROM "
           "applications_list al JOIN apps s ON al.name = s.app_name GROUP BY s.day, al.name "
           "UNION ALL SELECT s.day AS day, " +
           web +
           " AS type, m.name AS name, m.caption AS caption, SUM(s.duration) AS seconds FROM "
           "matched m JOIN sites s ON s.browser_url = m.browser_url GROUP BY s.day, m.name) "
           "WHERE seconds <> 0 ORDER BY day, type, name";
}

} // namespace tw
