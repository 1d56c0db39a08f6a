#include "storage/daily_rollup.h"

#include "base/text.h"
#include "items/monitored_item.h"
#include "storage/daily_usage_sql.h"
#include "storage/date_format.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

#include <set>
#include <vector>

namespace tw {
namespace {

// The key of a roll-up row: its day and the logged activity, NULLs matching NULLs.
std::string SameKey(const char* row) {
    const std::string r = row;
    return "day = " + RollupDayOf(r + ".date_created") + " AND origin IS " + r +
           ".origin AND app_name IS " + r + ".app_name AND browser_url IS " + r + ".browser_url";
}

std::string AddRow(const char* row) {
    const std::string r = row;
    return "UPDATE daily_usage SET duration = duration + IFNULL(" + r + ".duration, 0) WHERE " +
           SameKey(row) +
           "; INSERT INTO daily_usage(day, origin, app_name, browser_url, duration) SELECT " +
           RollupDayOf(r + ".date_created") + ", " + r + ".origin, " + r + ".app_name, " + r +
           ".browser_url, IFNULL(" + r + ".duration, 0) WHERE " + RollupDayOf(r + ".date_created") +
           " IS NOT NULL AND NOT EXISTS (SELECT 1 FROM daily_usage WHERE " + SameKey(row) + ");";
}

std::string RemoveRow(const char* row) {
    const std::string r = row;
    return "UPDATE daily_usage SET duration = duration - IFNULL(" + r + ".duration, 0) WHERE " +
           SameKey(row) + ";";
}

std::vector<std::string> RollupSchema() {
    return {
        "CREATE TABLE IF NOT EXISTS daily_usage (day TEXT, origin INTEGER, app_name TEXT, "
        "browser_url TEXT, duration INTEGER)",
        // The application totals read by origin and day, the address totals and the
        // triggers' look-ups by day and address; both cover what they read.
        "CREATE INDEX IF NOT EXISTS daily_usage_by_origin_day ON daily_usage(origin, day, "
        "app_name, duration)",
        "CREATE INDEX IF NOT EXISTS daily_usage_by_day ON daily_usage(day, browser_url, "
        "duration)",
        "CREATE TABLE IF NOT EXISTS daily_usage_days (day TEXT PRIMARY KEY)",
        "CREATE TRIGGER IF NOT EXISTS daily_usage_insert AFTER INSERT ON applications BEGIN " +
            AddRow("NEW") + " END",
        "CREATE TRIGGER IF NOT EXISTS daily_usage_delete AFTER DELETE ON applications BEGIN " +
            RemoveRow("OLD") + " END",
        "CREATE TRIGGER IF NOT EXISTS daily_usage_update AFTER UPDATE ON applications BEGIN " +
            RemoveRow("OLD") + " " + AddRow("NEW") + " END",
        // The same days per watched item; a day whose roll-up changes is charged again.
        "CREATE TABLE IF NOT EXISTS daily_item_usage (day TEXT, type INTEGER, name TEXT, seconds "
        "INTEGER)",
        "CREATE INDEX IF NOT EXISTS daily_item_usage_by_type_day ON daily_item_usage(type, day, "
        "name, seconds)",
        "CREATE TABLE IF NOT EXISTS daily_item_days (day TEXT PRIMARY KEY, list TEXT)",
        "CREATE TRIGGER IF NOT EXISTS daily_item_insert AFTER INSERT ON daily_usage BEGIN DELETE "
        "FROM daily_item_days WHERE day = NEW.day; END",
        "CREATE TRIGGER IF NOT EXISTS daily_item_delete AFTER DELETE ON daily_usage BEGIN DELETE "
        "FROM daily_item_days WHERE day = OLD.day; END",
        "CREATE TRIGGER IF NOT EXISTS daily_item_update AFTER UPDATE ON daily_usage BEGIN DELETE "
        "FROM daily_item_days WHERE day IN (OLD.day, NEW.day); END",
        // Which website items cover an address, asked once per address.
        "CREATE TABLE IF NOT EXISTS url_item_urls (browser_url TEXT PRIMARY KEY, list TEXT)",
        "CREATE TABLE IF NOT EXISTS url_item_match (browser_url TEXT, name TEXT)",
        "CREATE INDEX IF NOT EXISTS url_item_match_by_url ON url_item_match(browser_url, name)",
    };
}

// The objects of the roll-up that the file must hold.
constexpr const char* RollupObjects =
    "'daily_usage_insert', 'daily_usage_delete', 'daily_usage_update', 'daily_item_insert', "
    "'daily_item_delete', 'daily_item_update', 'url_item_urls', 'url_item_match'";
constexpr int RollupObjectCount = 8;

// What a day's charges to the items were made for: the way of matching (its number goes up
// whenever the usage totals' matching changes) and the lists' distinct names.
const char* const ListFingerprintSQL =
    "('match 3' || char(11) || IFNULL((SELECT group_concat(name, char(10)) FROM (SELECT "
    "DISTINCT name FROM applications_list ORDER BY name)), '') || char(11) || IFNULL((SELECT "
    "group_concat(name, char(10)) FROM (SELECT DISTINCT name FROM websites_list ORDER BY "
    "name)), ''))";

// Runs of the days from firstDay up to endDay that the table of marks does not hold (with
// the condition, when one is given).
std::vector<std::pair<TDateTime, TDateTime>> MissingDays(TSQLiteDatabase& db, const char* marks,
                                                         TDateTime firstDay, TDateTime endDay,
                                                         const std::string& condition = {},
                                                         const TSQLValues& values = {}) {
    std::set<std::string> held;
    auto table = db.GetTable(std::string("SELECT day FROM ") + marks + " WHERE " + condition +
                                 (condition.empty() ? "" : " AND ") +
                                 "day >= " + QuotedStr(RollupDayKey(firstDay)) + " AND day < " +
                                 QuotedStr(RollupDayKey(endDay)),
                             values);
    for (bool more = table->First(); more && !table->Eof(); more = table->Next()) {
        held.insert(table->ValueByName("day"));
    }
    std::vector<std::pair<TDateTime, TDateTime>> runs;
    for (TDateTime day = firstDay; day < endDay - 0.5; day += 1) {
        if (held.count(RollupDayKey(day)) != 0) {
            continue;
        }
        if (!runs.empty() && RollupDayKey(runs.back().second) == RollupDayKey(day)) {
            runs.back().second = day + 1;
        } else {
            runs.emplace_back(day, day + 1);
        }
    }
    return runs;
}

// The fingerprint, worked out once rather than for every row compared with it. It holds the
// names the person listed, so it goes to the statements as a bound value (?1), never as text.
TSQLValues ListFingerprint(TSQLiteDatabase& db) {
    return {db.GetTable(std::string("SELECT ") + ListFingerprintSQL)->ValueAsText(0)};
}

} // namespace

std::string RollupDayKey(TDateTime dayStart) {
    return DateToText(dayStart);
}

std::string RollupDayStartSQL(TDateTime dayStart) {
    return QuotedStr(RollupDayKey(dayStart) + " 04:00:00");
}

std::string RollupDayOf(const std::string& column) {
    return "(CASE WHEN substr(" + column + ", 11) < ' 04:00:00' THEN date(substr(" + column +
           ", 1, 10), '-1 day') ELSE date(substr(" + column + ", 1, 10)) END)";
}

namespace {

bool HasRollup(TSQLiteDatabase& db) {
    return db.GetTable("SELECT COUNT(*) FROM sqlite_master WHERE name = 'daily_usage'")
               ->ValueAsInteger(0) != 0;
}

std::string BoundedDelete(const std::string& table, const std::string& condition) {
    return "DELETE FROM " + table + " WHERE rowid IN (SELECT rowid FROM " + table + " WHERE " +
           condition + " LIMIT %LIMIT%)";
}

} // namespace

std::vector<std::string> RollupOldDaysSQL(TSQLiteDatabase& db) {
    if (!HasRollup(db)) {
        return {};
    }
    const std::string before = "day < " + RollupDayOf("?1");
    // The marks first: a day half gone is never taken as built.
    return {BoundedDelete("daily_usage_days", before), BoundedDelete("daily_item_days", before),
            BoundedDelete("daily_usage", before), BoundedDelete("daily_item_usage", before)};
}

std::vector<std::string> RollupEmptyRowsSQL(TSQLiteDatabase& db) {
    if (!HasRollup(db)) {
        return {};
    }
    // A row that adds up to nothing counts nothing; the triggers make it again when its
    // activity is logged again.
    return {BoundedDelete("daily_usage", "duration = 0")};
}

void EnsureDailyRollup(TSQLiteDatabase& db) {
    auto present = db.GetTable(std::string("SELECT COUNT(*) FROM sqlite_master WHERE name IN (") +
                               RollupObjects + ")");
    if (present->ValueAsInteger(0) == RollupObjectCount) {
        return;
    }
    db.ExecSQL("BEGIN IMMEDIATE");
    for (const std::string& statement : RollupSchema()) {
        db.ExecSQL(statement);
    }
    // Whatever it held was not kept up by triggers: every day is built afresh.
    db.ExecSQL("DELETE FROM daily_usage_days");
    db.ExecSQL("DELETE FROM daily_item_days");
    db.ExecSQL("COMMIT");
}

void BuildRollupDays(TSQLiteDatabase& db, TDateTime firstDay, TDateTime endDay) {
    if (endDay <= firstDay) {
        return;
    }
    const auto runs = MissingDays(db, "daily_usage_days", firstDay, endDay);
    if (runs.empty()) {
        return;
    }
    db.ExecSQL("BEGIN IMMEDIATE");
    for (const auto& [from, to] : runs) {
        const std::string first = QuotedStr(RollupDayKey(from));
        const std::string end = QuotedStr(RollupDayKey(to));
        // Rows the triggers added to a day not held yet are counted again from the rows.
        db.ExecSQL("DELETE FROM daily_usage WHERE day >= " + first + " AND day < " + end);
        db.ExecSQL("INSERT INTO daily_usage(day, origin, app_name, browser_url, duration) SELECT " +
                   RollupDayOf("date_created") +
                   " AS day, origin, app_name, browser_url, SUM(IFNULL(duration, 0)) FROM "
                   "applications WHERE date_created >= " +
                   RollupDayStartSQL(from) + " AND date_created < " + RollupDayStartSQL(to) +
                   " GROUP BY 1, 2, 3, 4 HAVING day IS NOT NULL");
        for (TDateTime day = from; day < to - 0.5; day += 1) {
            db.ExecSQL("INSERT OR IGNORE INTO daily_usage_days(day) VALUES(" +
                       QuotedStr(RollupDayKey(day)) + ")");
        }
    }
    db.ExecSQL("COMMIT");
}

void BuildItemDays(TSQLiteDatabase& db, TDateTime firstDay, TDateTime endDay) {
    if (endDay <= firstDay) {
        return;
    }
    const TSQLValues fingerprint = ListFingerprint(db);
    // Days charged for other names count as missing.
    const auto runs =
        MissingDays(db, "daily_item_days", firstDay, endDay, "list IS ?1", fingerprint);
    if (runs.empty()) {
        return;
    }
    db.ExecSQL("BEGIN IMMEDIATE");
    for (const auto& [from, to] : runs) {
        const std::string first = RollupDayKey(from);
        const std::string end = RollupDayKey(to);
        db.ExecSQL("DELETE FROM daily_item_usage WHERE day >= " + QuotedStr(first) + " AND day < " +
                   QuotedStr(end));
        for (const TMonitoredItemType type :
             {TMonitoredItemType::mitApp, TMonitoredItemType::mitWeb}) {
            db.ExecSQL("INSERT INTO daily_item_usage(day, type, name, seconds) SELECT * FROM (" +
                       ItemDaysSQL(RollupActivitySQL(first, end, static_cast<int>(type)),
                                   static_cast<int>(type)) +
                       ")");
        }
        for (TDateTime day = from; day < to - 0.5; day += 1) {
            db.ExecSQL("INSERT OR REPLACE INTO daily_item_days(day, list) VALUES(" +
                           QuotedStr(RollupDayKey(day)) + ", ?1)",
                       fingerprint);
        }
    }
    db.ExecSQL("COMMIT");
}

void MatchNewAddresses(TSQLiteDatabase& db, const std::string& addresses) {
    const TSQLValues fingerprint = ListFingerprint(db);
    auto stale =
        db.GetTable("SELECT COUNT(*) FROM url_item_urls WHERE list IS NOT ?1", fingerprint);
    // An address that is NULL covers nothing, and would make NOT IN answer NULL for every
    // address after it.
    const std::string fresh = "SELECT DISTINCT browser_url FROM (" + addresses +
                              ") p WHERE browser_url IS NOT NULL AND NOT EXISTS (SELECT 1 FROM "
                              "url_item_urls u WHERE u.browser_url = p.browser_url)";
    auto added = db.GetTable("SELECT COUNT(*) FROM (" + fresh + ")");
    if (stale->ValueAsInteger(0) == 0 && added->ValueAsInteger(0) == 0) {
        return;
    }
    db.ExecSQL("BEGIN IMMEDIATE");
    if (stale->ValueAsInteger(0) != 0) {
        db.ExecSQL("DELETE FROM url_item_urls");
        db.ExecSQL("DELETE FROM url_item_match");
    }
    db.ExecSQL("CREATE TEMP TABLE fresh_urls AS " + fresh);
    db.ExecSQL("INSERT INTO url_item_match(browser_url, name) SELECT a.browser_url, n.name FROM "
               "fresh_urls a JOIN (SELECT DISTINCT name FROM websites_list) n ON "
               "url_matches(n.name, a.browser_url)");
    db.ExecSQL(
        "INSERT INTO url_item_urls(browser_url, list) SELECT browser_url, ?1 FROM fresh_urls",
        fingerprint);
    db.ExecSQL("DROP TABLE fresh_urls");
    db.ExecSQL("COMMIT");
}

} // namespace tw
