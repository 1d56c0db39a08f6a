#pragma once

#include "base/date_time.h"
#include "items/monitored_list.h"
#include "storage/day_start.h"
#include "storage/item_deletion.h"
#include "storage/logged_activity.h"
#include "storage/period_usage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tw {

class TActivityDatabase;
class TSQLiteDatabase;

// Start of the accounting day that contains the moment: 04:00 of its date, or of the
// day before when the moment is earlier than 04:00.
TDateTime AccountingDayStart(TDateTime moment);

// The usage view's periods: 0 "Today", 1 "Last 24 Hours", 2 "Last 7 Days",
// 3 "Last 14 Days", 4 "Last 30 Days", 5 "Last 3 months"; any other index is Today.
TDateTime UsagePeriodStart(int periodIndex, TDateTime now);

// Writes one activity row per listed scan and reads back the totals per watched item,
// for the program day and for a chosen period. Time is counted even while the activity
// database cannot be written (the activity database keeps the rows until it can) or read (the
// list in force stands in for today's, and the last total read goes on growing); totals that
// could not be read are read again at the next scan.
class TOnlineTimeApplicationLogger {
  public:
    // Reads the day's totals (stored and not yet written) into Total.
    TOnlineTimeApplicationLogger(TActivityDatabase& database, const TProgramDay& day);
    // For the day the clock is in.
    explicit TOnlineTimeApplicationLogger(TActivityDatabase& database);
    TOnlineTimeApplicationLogger(const TOnlineTimeApplicationLogger&) = delete;
    TOnlineTimeApplicationLogger& operator=(const TOnlineTimeApplicationLogger&) = delete;

    TMonitoredList& PeriodList() { return periodList_; }
    TMonitoredList& TodayList() { return todayList_; }
    // The period's seconds per day and item, read with the period list.
    const std::vector<TDailyItemUsage>& PeriodDays() const { return periodDays_; }
    // Seconds spent today on all watched items together, written or kept to be written.
    std::int32_t Total = 0;

    // Records one scan interval of a listed activity; nothing when it is not on today's list
    // (or, while today's totals cannot be read, on the list in force).
    void Log(const TLoggedActivity& activity, int seconds,
             const TMonitoredList* listInForce = nullptr);
    void MonitoredListLoad(bool addToTotal);
    // Reads today's totals again when the last read failed: at every scan, not only at the
    // next listed one, or the total shown stays short while nothing listed is in front.
    void ReadTodayIfUnread();
    // After a damaged activity database was replaced by a fresh one: writes into it, item by
    // item, the time counted today that it does not hold yet, so that a restart still finds
    // the day's total.
    void KeepTodayInNewFile();
    void PeriodListLoad(bool addToTotal, TDateTime toTime, TDateTime fromTime);
    // Applies the options' removal result to today's list.
    void MonitoredItemDelete(const TMonitoredItem* item, TItemDeletion action);
    // Adds the rows of one usage query; false (reported) when the query failed.
    bool MonitoredItemsLoad(TMonitoredList& list, const std::string& sql, bool addToTotal,
                            TMonitoredItemType type);

  private:
    void LoadToday();
    // Seconds of the item's rows in the file from the day's start up to the moment, read without
    // the list's copy; -1 (reported) when the file could not be read.
    std::int64_t StoredSecondsOf(const TMonitoredItem& item, TDateTime now);
    void AddToTotal(std::int64_t seconds);
    // The activity database opened for a read; nullptr (reported under the label) when it
    // cannot be opened.
    std::unique_ptr<TSQLiteDatabase> OpenForRead(const char* label);
    bool MonitoredItemsLoad(TSQLiteDatabase& db, TMonitoredList& list, const std::string& sql,
                            bool addToTotal, TMonitoredItemType type);
    bool LoadInto(TMonitoredList& list, bool addToTotal, TDateTime from, TDateTime to);
    bool LoadInto(TSQLiteDatabase& db, TMonitoredList& list, bool addToTotal,
                  const std::string& websitesSQL, const std::string& applicationsSQL);

    TActivityDatabase& database_;
    TProgramDay day_;
    bool todayLoadFailed_ = false;

    TMonitoredList periodList_;
    TMonitoredList todayList_;
    std::vector<TDailyItemUsage> periodDays_;
};

} // namespace tw
