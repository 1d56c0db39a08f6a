#include "storage/log_purge.h"

#include "base/exception.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/sqlite_database.h"

#include <utility>

namespace tw {
namespace {

// Old rows deleted per slice: a few tens of milliseconds on a slow disk.
constexpr int OldRowsPerSlice = 1000;

std::string Literal(TDateTime when) {
    std::string text(1, '\'');
    text += DateTimeToSQL(when);
    text += '\'';
    return text;
}

} // namespace

TLogPurge::TLogPurge(std::string path, TDateTime now)
    : path_(std::move(path)), cutoff_(Literal(now - 90)) {
    // Days from the cutoff to past now; then whatever lies outside them (dates before the
    // cutoff that the first part left, dates ahead, no date at all).
    TDateTime day = now - 90;
    for (; day <= now + 1; day += 1) {
        ranges_.push_back("date_created >= " + Literal(day) + " AND date_created < " +
                          Literal(day + 1));
    }
    ranges_.push_back("date_created >= " + Literal(day));
    ranges_.push_back("date_created < " + cutoff_);
    ranges_.push_back("date_created IS NULL");
}

bool TLogPurge::Step() {
    int changed = 0;
    if (!oldRowsDone_) {
        // Through the date index, the oldest rows come first: a slice never walks past
        // rows it keeps.
        if (!Run("DELETE FROM applications WHERE rowid IN (SELECT rowid FROM applications "
                 "WHERE date_created < " +
                     cutoff_ + " LIMIT " + std::to_string(OldRowsPerSlice) + ")",
                 changed)) {
            return false;
        }
        oldRowsDone_ = changed < OldRowsPerSlice;
        return true;
    }
    if (next_ >= ranges_.size()) {
        return false;
    }
    if (!Run("DELETE FROM applications WHERE origin = 1 AND " + ranges_[next_++] +
                 " AND app_name NOT IN (SELECT DISTINCT name FROM applications_list)",
             changed)) {
        return false;
    }
    return next_ < ranges_.size();
}

bool TLogPurge::Run(const std::string& sql, int& changed) {
    try {
        TSQLiteDatabase db(path_);
        db.ExecSQL(sql);
        changed = db.Changes();
        return true;
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, "; TLogPurge.Run: "));
        return false;
    }
}

} // namespace tw
