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
std::vector<std::string> RowRanges(const TPeriodSplit& split) {
    if (!split.UsesRollup()) {
        return {"date_created BETWEEN " + Quoted(split.from) + " AND " + Quoted(split.to)};
    }
    return {"date_created >= " + Quoted(split.from) + " AND date_created < " +
                Quoted(split.firstDay),
            "date_created >= " + Quoted(split.endDay) + " AND date_created <= " + Quoted(split.to)};
}

std::string RollupRange(const TPeriodSplit& split) {
    return "day >= " + QuotedStr(RollupDayKey(split.firstDay)) + " AND day < " +
           QuotedStr(RollupDayKey(split.endDay));
}

// The rows the roll-up does not cover as logged activity; with the timeless rows (no day),
// which the totals count in every period.
std::string RowsActivity(const TPeriodSplit& split, bool timeless) {
    std::string sql;
    for (const std::string& range : RowRanges(split)) {
        sql += (sql.empty() ? "SELECT " : " UNION ALL SELECT ") + RollupDayOf("date_created") +
               " AS day, origin, app_name, browser_url, duration FROM applications WHERE " + range;
    }
    if (timeless) {
        sql += " UNION ALL SELECT NULL AS day, origin, app_name, browser_url, duration FROM "
               "applications WHERE date_created IS NULL";
    }
    return sql;
}

// The period's seconds per day and item of one type: the roll-up's days as they were
// charged, the rest charged now.
std::string PeriodItemDays(const TPeriodSplit& split, int type, bool timeless) {
    std::string sql = "SELECT * FROM (" + ItemDaysSQL(RowsActivity(split, timeless), type) + ")";
    if (split.UsesRollup()) {
        sql += " UNION ALL SELECT day, type, name, seconds FROM daily_item_usage WHERE type = " +
               std::to_string(type) + " AND " + RollupRange(split);
    }
    return sql;
}

std::string PeriodTotals(const TPeriodSplit& split, int type) {
    return "SELECT name, SUM(seconds) AS duration FROM (" + PeriodItemDays(split, type, true) +
           ") GROUP BY name";
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

std::string ItemDaysSQL(const std::string& activity, int type) {
    // Each list name once: a name listed twice is counted twice by the totals' join with
    // the list, not here. A site's match is asked once per distinct address.
    if (type == AppType) {
        return "WITH t AS (" + activity +
               "), s AS (SELECT day, app_name, SUM(duration) AS duration FROM t WHERE origin = 1 "
               "GROUP BY day, app_name) SELECT s.day AS day, " +
               std::to_string(AppType) +
               " AS type, n.name AS name, SUM(s.duration) AS seconds FROM (SELECT DISTINCT name "
               "FROM applications_list) n JOIN s ON n.name = s.app_name GROUP BY s.day, n.name";
    }
    return "WITH t AS (" + activity +
           "), s AS (SELECT day, browser_url, SUM(duration) AS duration FROM t GROUP BY day, "
           "browser_url), m AS (SELECT n.name AS name, a.browser_url AS browser_url FROM (SELECT "
           "DISTINCT name FROM websites_list) n JOIN (SELECT DISTINCT browser_url FROM s) a ON "
           "url_matches(n.name, a.browser_url)) SELECT s.day AS day, " +
           std::to_string(WebType) +
           " AS type, m.name AS name, SUM(s.duration) AS seconds FROM m JOIN s ON s.browser_url = "
           "m.browser_url GROUP BY s.day, m.name";
}

std::string RollupActivitySQL(const std::string& firstKey, const std::string& endKey) {
    return "SELECT day, origin, app_name, browser_url, duration FROM daily_usage WHERE day >= " +
           QuotedStr(firstKey) + " AND day < " + QuotedStr(endKey);
}

std::string ApplicationsUsageRollupSQL(const TPeriodSplit& split) {
    return ListUsageSQL("applications_list", PeriodTotals(split, AppType));
}

std::string WebsitesUsageRollupSQL(const TPeriodSplit& split) {
    return ListUsageSQL("websites_list", PeriodTotals(split, WebType));
}

std::string DailyItemUsageSQL(const TPeriodSplit& split) {
    return "SELECT d.day AS day, d.type AS type, l.name AS name, l.caption AS caption, "
           "SUM(d.seconds) AS seconds FROM (SELECT " +
           std::to_string(AppType) +
           " AS type, name, caption FROM applications_list UNION ALL SELECT " +
           std::to_string(WebType) + " AS type, name, caption FROM websites_list) l JOIN (" +
           PeriodItemDays(split, AppType, false) + " UNION ALL " +
           PeriodItemDays(split, WebType, false) +
           ") d ON d.type = l.type AND d.name = l.name GROUP BY d.day, d.type, l.name HAVING "
           "SUM(d.seconds) <> 0 ORDER BY d.day, d.type, l.name";
}

} // namespace tw
