#include "storage/period_usage.h"

#include "storage/activity_logger.h"
#include "storage/daily_rollup.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

namespace tw {

namespace {

constexpr int AppType = static_cast<int>(TMonitoredItemType::mitApp);
constexpr int WebType = static_cast<int>(TMonitoredItemType::mitWeb);

// Builds what the split reads of the roll-up; false when the file cannot take it.
bool ReadyRollup(TSQLiteDatabase& db, const TPeriodSplit& split) {
    try {
        EnsureDailyRollup(db);
        BuildRollupDays(db, split.firstDay, split.endDay);
        BuildItemDays(db, split.firstDay, split.endDay);
        return true;
    } catch (const std::exception&) {
        // The reads that follow report a file that does not work at all.
        db.RollbackOpenTransaction();
        return false;
    }
}

// A table of the connection's own, made anew.
void MakeTable(TSQLiteDatabase& db, const std::string& name, const std::string& query) {
    db.ExecSQL("DROP TABLE IF EXISTS " + name);
    db.ExecSQL("CREATE TABLE " + name + " AS " + query);
}

} // namespace

TPeriodSplit GatherPeriodUsage(TSQLiteDatabase& db, TDateTime from, TDateTime to, TDateTime now) {
    TPeriodSplit split = SplitPeriod(from, to, AccountingDayStart(now));
    const bool ready = ReadyRollup(db, split);
    if (!ready) {
        split = RowsOnly(from, to);
    }
    // The rows the roll-up does not cover (today's above all) are read here, and only here.
    for (const int type : {AppType, WebType}) {
        MakeTable(db, PeriodActivityTable(type), PeriodActivitySQL(split, type));
    }
    if (ready) {
        try {
            MatchNewAddresses(db, "SELECT browser_url FROM " + PeriodActivityTable(WebType));
            split.addressesMatched = true;
        } catch (const std::exception&) {
            // Each address is then matched as the period is read: slower, the same figures.
            db.RollbackOpenTransaction();
        }
    }
    MakeTable(db, PeriodItemDaysTable, PeriodItemDaysSQL(split));
    return split;
}

std::vector<TDailyItemUsage> ReadDailyItemUsage(TSQLiteDatabase& db) {
    auto table = db.GetTable(DailyItemUsageSQL());
    std::vector<TDailyItemUsage> days;
    if (table->RowCount() == 0) {
        return days; // an empty result has no columns to look up
    }
    days.reserve(static_cast<std::size_t>(table->RowCount()));
    const int day = table->ColumnIndex("day");
    const int type = table->ColumnIndex("type");
    const int name = table->ColumnIndex("name");
    const int caption = table->ColumnIndex("caption");
    const int seconds = table->ColumnIndex("seconds");
    for (bool more = table->First(); more && !table->Eof(); more = table->Next()) {
        days.push_back({table->ValueAsText(day),
                        static_cast<TMonitoredItemType>(table->ValueAsInteger(type)),
                        table->ValueAsText(name), table->ValueAsText(caption),
                        table->ValueAsInteger(seconds)});
    }
    return days;
}

} // namespace tw
