#include "storage/activity_logger.h"

#include "base/text.h"
#include "storage/activity_database.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/list_rows.h"
#include "storage/options.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "storage/usage_sql.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tw {
namespace {

const char* const MonitoredItemsLoadLabel = "; TOnlineTimeApplicationLogger.MonitoredItemsLoad: ";
const char* const PeriodListLoadLabel = "; TOnlineTimeApplicationLogger.PeriodListLoad: ";

} // namespace

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

TOnlineTimeApplicationLogger::TOnlineTimeApplicationLogger(TActivityDatabase& database,
                                                           const TProgramDay& day)
    : database_(database), day_(day) {
    LoadToday();
}

TOnlineTimeApplicationLogger::TOnlineTimeApplicationLogger(TActivityDatabase& database)
    : TOnlineTimeApplicationLogger(database, TProgramDay{NextDayStart(database.Clock().Now()), 0}) {
}

void TOnlineTimeApplicationLogger::LoadToday() {
    // A read that fails leaves what was known: the limit must not start again from nothing
    // because another program held the file for a moment.
    const std::int32_t known = Total;
    Total = 0;
    MonitoredListLoad(true);
    if (todayLoadFailed_) {
        // What part of a read brought is known as well.
        Total = std::max(known, Total);
        return;
    }
    // Time counted but not yet written belongs to today as much as stored time: to the total,
    // and to its item, which is what a new file gets back should this one be lost.
    for (const TActivityRow& row : database_.Pending()) {
        if (row.When < day_.Start()) {
            continue;
        }
        AddToTotal(row.Seconds);
        TMonitoredItemType kind = TMonitoredItemType::mitAll;
        const int index = todayList_.FindMatch(row.ExeName, row.Url, kind);
        if (index >= 0) {
            todayList_.Items(index).Duration += row.Seconds;
        }
    }
}

void TOnlineTimeApplicationLogger::ReadTodayIfUnread() {
    if (todayLoadFailed_) {
        LoadToday();
    }
}

void TOnlineTimeApplicationLogger::AddToTotal(std::int64_t seconds) {
    Total = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{Total} + seconds, std::numeric_limits<std::int32_t>::min(),
        std::numeric_limits<std::int32_t>::max()));
}

void TOnlineTimeApplicationLogger::Log(const TLoggedActivity& activity, int seconds,
                                       const TMonitoredList* listInForce) {
    ReadTodayIfUnread();
    TActivityRow row{day_.RowTime(database_.Clock().Now()),
                     activity.ExeName,
                     activity.Url,
                     activity.BrowserName,
                     seconds,
                     0};
    TMonitoredItemType kind = TMonitoredItemType::mitAll;
    int index = todayList_.FindMatch(activity.ExeName, activity.Url, kind);
    if (index < 0 && listInForce) {
        // Today's list could not be read, or the file's copy of the list could not be brought
        // up to date (a file that cannot be written): the list in force says what counts, and
        // its item joins today's list until the next read brings the stored time with it.
        const int listed = listInForce->FindMatch(activity.ExeName, activity.Url, kind);
        if (listed >= 0 && listInForce->Items(listed).Active) {
            auto item = CopyOf(listInForce->Items(listed));
            item->Duration = 0;
            const std::string key = item->Caption;
            index = todayList_.Add(key, std::move(item));
        }
    }
    if (index < 0) {
        return;
    }
    row.Origin = static_cast<int>(kind);
    todayList_.Items(index).Duration += seconds;
    // Counted even when the row cannot be written yet: the limit must not wait for a disk.
    // The row is kept and written with the next one that can be.
    AddToTotal(seconds);
    database_.Write(row, "; TOnlineTimeApplicationLogger.Log: ");
}

std::unique_ptr<TSQLiteDatabase> TOnlineTimeApplicationLogger::OpenForRead(const char* label) {
    try {
        return std::make_unique<TSQLiteDatabase>(database_.Path(), database_.Turns());
    } catch (const std::exception& e) {
        database_.Failed(e, label);
        return nullptr;
    }
}

bool TOnlineTimeApplicationLogger::MonitoredItemsLoad(TMonitoredList& list, const std::string& sql,
                                                      bool addToTotal, TMonitoredItemType type) {
    const auto db = OpenForRead(MonitoredItemsLoadLabel);
    return db && MonitoredItemsLoad(*db, list, sql, addToTotal, type);
}

bool TOnlineTimeApplicationLogger::MonitoredItemsLoad(TSQLiteDatabase& db, TMonitoredList& list,
                                                      const std::string& sql, bool addToTotal,
                                                      TMonitoredItemType type) {
    std::unique_ptr<TSQLiteTable> table;
    try {
        table = db.GetTable(sql);
    } catch (const std::exception& e) {
        database_.Failed(e, MonitoredItemsLoadLabel);
        return false;
    }
    list.SetCapacity(list.Count() + table->RowCount());
    if (!table->First()) {
        return true;
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
            AddToTotal(total);
        }
        std::string key = item->Caption;
        list.Add(key, std::move(item));
    }
    return true;
}

bool TOnlineTimeApplicationLogger::LoadInto(TMonitoredList& list, bool addToTotal, TDateTime from,
                                            TDateTime to) {
    // Both lists on one connection: opening the file costs as much as a short read.
    const auto db = OpenForRead(MonitoredItemsLoadLabel);
    if (!db) {
        list.Clear();
        return false;
    }
    return LoadInto(*db, list, addToTotal, WebsitesUsageFastSQL(from, to),
                    ApplicationsUsageFastSQL(from, to));
}

bool TOnlineTimeApplicationLogger::LoadInto(TSQLiteDatabase& db, TMonitoredList& list,
                                            bool addToTotal, const std::string& websitesSQL,
                                            const std::string& applicationsSQL) {
    list.Clear();
    bool loaded = MonitoredItemsLoad(db, list, websitesSQL, addToTotal, TMonitoredItemType::mitWeb);
    loaded =
        MonitoredItemsLoad(db, list, applicationsSQL, addToTotal, TMonitoredItemType::mitApp) &&
        loaded;
    if (loaded) {
        database_.ReadWorked();
    }
    return loaded;
}

void TOnlineTimeApplicationLogger::MonitoredListLoad(bool addToTotal) {
    TMonitoredList fresh;
    // The whole day, not up to now: after a move to a zone further west the rows of earlier
    // in the day carry local times later than now, and they are the day's all the same.
    todayLoadFailed_ = !LoadInto(fresh, addToTotal, day_.Start(), day_.LastMoment());
    if (!todayLoadFailed_) {
        todayList_ = std::move(fresh);
        return;
    }
    // Half a read (one of the two lists) adds to what was known; it never takes away.
    for (int i = 0; i < fresh.Count(); ++i) {
        const TMonitoredItem& item = fresh.Items(i);
        const int at = todayList_.IndexOfName(item.Name);
        if (at >= 0) {
            todayList_.Items(at).Duration = std::max(todayList_.Items(at).Duration, item.Duration);
        }
    }
    todayList_.AddMissingFrom(&fresh, nullptr);
}

void TOnlineTimeApplicationLogger::KeepTodayInNewFile() {
    const TDateTime now = day_.RowTime(database_.Clock().Now());
    // The new file already holds the rows kept while the old one failed.
    TMonitoredList stored;
    if (!LoadInto(stored, false, day_.Start(), day_.LastMoment())) {
        return; // reported; the day's total stays in memory
    }
    for (int i = 0; i < todayList_.Count(); ++i) {
        const TMonitoredItem& item = todayList_.Items(i);
        const int at = stored.IndexOfName(item.Name);
        const std::int64_t held =
            at != -1 ? stored.Items(at).Duration : StoredSecondsOf(item, day_.LastMoment());
        if (held < 0) {
            return; // reported; what is missing cannot be told, so nothing is written twice
        }
        const std::int64_t missing = item.Duration - held;
        if (missing <= 0) {
            continue;
        }
        // One row as the scan would have logged it: a site by its list entry, an application
        // by its path.
        const bool site = item.ItemType == TMonitoredItemType::mitWeb;
        TActivityRow row{now,
                         site ? std::string() : item.Name,
                         site ? item.Name : std::string(),
                         site ? std::string() : std::string("Desktop Application"),
                         static_cast<int>(missing),
                         static_cast<int>(item.ItemType)};
        database_.Write(row, "; TOnlineTimeApplicationLogger.KeepTodayInNewFile: ");
    }
}

std::int64_t TOnlineTimeApplicationLogger::StoredSecondsOf(const TMonitoredItem& item,
                                                           TDateTime now) {
    // The totals join the file's copy of the list, which lacks an item listed while the file
    // could not be written: its rows are then summed as the scan wrote them.
    const bool site = item.ItemType == TMonitoredItemType::mitWeb;
    try {
        TSQLiteDatabase db(database_.Path(), database_.Turns());
        auto table = db.GetTable(
            std::string("SELECT COALESCE(SUM(duration), 0) FROM applications WHERE "
                        "date_created BETWEEN ?1 AND ?2 AND ") +
                (site ? "origin = 2 AND browser_url = ?3"
                      : "origin = 1 AND (app_name = ?3 OR program_file_matches(?3, app_name))"),
            {DateTimeToSQL(day_.Start()), DateTimeToSQL(now), item.Name});
        return table->First() ? table->ValueAsInteger(0) : 0;
    } catch (const std::exception& e) {
        database_.Failed(e, "; TOnlineTimeApplicationLogger.KeepTodayInNewFile: ");
        return -1;
    }
}

void TOnlineTimeApplicationLogger::PeriodListLoad(bool addToTotal, TDateTime toTime,
                                                  TDateTime fromTime) {
    periodDays_.clear();
    const auto db = OpenForRead(PeriodListLoadLabel);
    if (!db) {
        periodList_.Clear();
        return;
    }
    // Closed days come from the daily roll-up; today, and the rest of a day the period
    // starts in, from the rows, read once for the table and the days alike.
    try {
        GatherPeriodUsage(*db, fromTime, toTime, day_.RowTime(database_.Clock().Now()));
    } catch (const std::exception& e) {
        periodList_.Clear();
        database_.Failed(e, PeriodListLoadLabel);
        return;
    }
    if (!LoadInto(*db, periodList_, addToTotal, WebsitesPeriodUsageSQL(),
                  ApplicationsPeriodUsageSQL())) {
        return;
    }
    try {
        periodDays_ = ReadDailyItemUsage(*db);
    } catch (const std::exception& e) {
        database_.Failed(e, PeriodListLoadLabel);
    }
}

void TOnlineTimeApplicationLogger::MonitoredItemDelete(const TMonitoredItem* item,
                                                       TItemDeletion action) {
    int index = todayList_.IndexOfItem(item);
    if (index < 0) {
        return;
    }
    if (action == TItemDeletion::Removed) {
        todayList_.Delete(index);
    } else if (action == TItemDeletion::Deactivated) {
        todayList_.Items(index).Active = false;
    }
}

} // namespace tw
