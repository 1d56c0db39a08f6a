#include "storage/activity_logger.h"

#include "base/text.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/list_rows.h"
#include "storage/options.h"
#include "storage/sqlite_database.h"
#include "storage/usage_sql.h"

#include <cmath>
#include <limits>

namespace tw {

TDateTime AccountingDayStart(TDateTime moment) {
    TDateTime start = std::floor(moment) + 4 * OneHour;
    return start > moment ? start - 1 : start;
}

TDateTime UsagePeriodStart(int periodIndex, TDateTime now) {
    switch (periodIndex) {
    case 1:
        return now - 1;
    case 2:
        return now - 7;
    case 3:
        return now - 14;
    case 4:
        return now - 30;
    case 5:
        return now - 90;
    default:
        return AccountingDayStart(now);
    }
}

TOnlineTimeApplicationLogger::TOnlineTimeApplicationLogger() {
    MonitoredListLoad(true);
}

void TOnlineTimeApplicationLogger::Log(const TLoggedActivity& activity, int seconds) {
    const std::string date = DateTimeToSQL(ClockNow());
    TMonitoredItemType kind = TMonitoredItemType::mitAll;
    int index = todayList_.FindMatch(activity.ExeName, activity.Url, kind);
    if (index < 0) {
        return;
    }
    TMonitoredItem& item = todayList_.Items(index);
    item.Duration += seconds;
    try {
        TSQLiteDatabase db(TOptions::LogDBPath());
        db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, "
                   "duration, origin) VALUES(" +
                   QuotedStr(date) + ", " + QuotedStr(activity.ExeName) + ", " +
                   QuotedStr(activity.Url) + ", " + QuotedStr(activity.BrowserName) + ", " +
                   std::to_string(seconds) + ", " + std::to_string(static_cast<int>(kind)) + ")");
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, "; TOnlineTimeApplicationLogger.Log: "));
        return;
    }
    Total += seconds;
}

void TOnlineTimeApplicationLogger::MonitoredItemsLoad(TMonitoredList& list, const std::string& sql,
                                                      bool addToTotal, TMonitoredItemType type) {
    std::unique_ptr<TSQLiteTable> table;
    try {
        TSQLiteDatabase db(TOptions::LogDBPath());
        table = db.GetTable(sql);
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, "; TOnlineTimeApplicationLogger.MonitoredItemsLoad: "));
        return;
    }
    list.SetCapacity(list.Count() + table->RowCount());
    if (!table->First()) {
        return;
    }
    const int totalColumn = table->ColumnIndex("total_duration");
    const TListColumns columns(*table);
    for (; !table->Eof(); table->Next()) {
        std::int64_t total = table->ValueAsInteger(totalColumn);
        if (total < std::numeric_limits<std::int32_t>::min() ||
            total > std::numeric_limits<std::int32_t>::max()) {
            throw EConvertError("Total duration out of range: " + std::to_string(total));
        }
        auto item = ListItemFromRow(*table, columns, type);
        item->Duration = static_cast<std::int32_t>(total);
        if (addToTotal) {
            Total = static_cast<std::int32_t>(std::min<std::int64_t>(
                std::int64_t{Total} + total, std::numeric_limits<std::int32_t>::max()));
        }
        std::string key = item->Caption;
        list.Add(key, std::move(item));
    }
}

void TOnlineTimeApplicationLogger::LoadInto(TMonitoredList& list, bool addToTotal, TDateTime from,
                                            TDateTime to) {
    list.Clear();
    MonitoredItemsLoad(list, WebsitesUsageFastSQL(from, to), addToTotal,
                       TMonitoredItemType::mitWeb);
    MonitoredItemsLoad(list, ApplicationsUsageFastSQL(from, to), addToTotal,
                       TMonitoredItemType::mitApp);
}

void TOnlineTimeApplicationLogger::MonitoredListLoad(bool addToTotal) {
    TDateTime now = ClockNow();
    LoadInto(todayList_, addToTotal, AccountingDayStart(now), now);
}

void TOnlineTimeApplicationLogger::PeriodListLoad(bool addToTotal, TDateTime toTime,
                                                  TDateTime fromTime) {
    LoadInto(periodList_, addToTotal, fromTime, toTime);
}

void TOnlineTimeApplicationLogger::MonitoredItemDelete(const TMonitoredItem* item, int action) {
    int index = todayList_.IndexOfItem(item);
    if (index < 0) {
        return;
    }
    if (action == 2) {
        todayList_.Delete(index);
    } else if (action == 1) {
        todayList_.Items(index).Active = false;
    }
}

} // namespace tw
