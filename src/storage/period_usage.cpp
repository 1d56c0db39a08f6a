#include "storage/period_usage.h"

#include "storage/activity_logger.h"
#include "storage/daily_rollup.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

namespace tw {

TPeriodSplit PreparePeriod(const std::string& path, TDateTime from, TDateTime to, TDateTime now) {
    TPeriodSplit split = SplitPeriod(from, to, AccountingDayStart(now));
    try {
        TSQLiteDatabase db(path);
        EnsureDailyRollup(db);
        BuildRollupDays(db, split.firstDay, split.endDay);
        BuildItemDays(db, split.firstDay, split.endDay);
        MatchNewAddresses(db, split);
        split.addressesMatched = true;
        return split;
    } catch (const std::exception&) {
        // The reads that follow report a file that does not work at all.
        return RowsOnly(from, to);
    }
}

std::vector<TDailyItemUsage> ReadDailyItemUsage(TSQLiteDatabase& db, const TPeriodSplit& split) {
    auto table = db.GetTable(DailyItemUsageSQL(split));
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
