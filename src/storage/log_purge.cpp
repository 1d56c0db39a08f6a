#include "storage/log_purge.h"

#include "base/exception.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"

#include <utility>

namespace tw {
namespace {

// Old rows deleted per slice: a few tens of milliseconds on a slow disk.
constexpr int OldRowsPerSlice = 1000;

const char* const Label = "; TLogPurge: ";
const char* const RunLabel = "; TLogPurge.Run: ";

} // namespace

TLogPurge::TLogPurge(std::string path, TDateTime now, bool listTrusted)
    : path_(std::move(path)), cutoff_(DateTimeToSQL(now - 90)) {
    oldRowsDone_ = !ClockAgreesWithRows(now);
    if (!listTrusted) {
        ErrorLog("The clean-up keeps the history of programs no longer listed: the list could "
                 "not be read, or its copy in \"" +
                 path_ + "\" could not be matched to it.");
        return;
    }
    // Days from the cutoff to past now; then whatever lies outside them (dates before the
    // cutoff that the first part left, dates ahead, no date at all).
    TDateTime day = now - 90;
    for (; day <= now + 1; day += 1) {
        slices_.push_back({"date_created >= ?1 AND date_created < ?2",
                           {DateTimeToSQL(day), DateTimeToSQL(day + 1)}});
    }
    slices_.push_back({"date_created >= ?1", {DateTimeToSQL(day)}});
    slices_.push_back({"date_created < ?1", {cutoff_}});
    slices_.push_back({"date_created IS NULL", {}});
}

bool TLogPurge::ClockAgreesWithRows(TDateTime now) const {
    std::string newest;
    try {
        TSQLiteDatabase db(path_);
        auto table = db.GetTable("SELECT MAX(date_created) FROM applications");
        newest = table->First() ? table->ValueAsText(0) : std::string();
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, Label));
        return false;
    }
    if (newest.empty()) {
        return true; // nothing stored that could be old
    }
    // The stored form sorts as the moments do.
    const std::string nowText = DateTimeToSQL(now);
    std::string why;
    if (newest > nowText) {
        why = "behind";
    } else if (newest < DateTimeToSQL(now - 1)) {
        why = "more than a day ahead of";
    } else {
        return true;
    }
    ErrorLog("The clean-up leaves the old activity for a later start: the clock (" + nowText +
             ") is " + why + " the newest stored activity (" + newest +
             "), so it cannot tell which rows are old.");
    return false;
}

bool TLogPurge::Step() {
    int changed = 0;
    if (!oldRowsDone_) {
        // Through the date index, the oldest rows come first: a slice never walks past
        // rows it keeps.
        if (!Run("DELETE FROM applications WHERE rowid IN (SELECT rowid FROM applications "
                 "WHERE date_created < ?1 LIMIT ?2)",
                 {cutoff_, std::int64_t{OldRowsPerSlice}}, changed)) {
            return false;
        }
        oldRowsDone_ = changed < OldRowsPerSlice;
        return true;
    }
    if (next_ >= slices_.size()) {
        return false;
    }
    const TSlice& slice = slices_[next_++];
    if (!Run("DELETE FROM applications WHERE origin = 1 AND " + slice.condition +
                 " AND app_name NOT IN (SELECT DISTINCT name FROM applications_list)",
             slice.values, changed)) {
        return false;
    }
    return next_ < slices_.size();
}

bool TLogPurge::Run(const std::string& sql, const TSQLValues& values, int& changed) {
    try {
        TSQLiteDatabase db(path_);
        db.ExecSQL(sql, values);
        changed = db.Changes();
        return true;
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, RunLabel));
        return false;
    }
}

} // namespace tw
