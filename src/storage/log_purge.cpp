#include "storage/log_purge.h"

#include "base/exception.h"
#include "storage/clock.h"
#include "storage/clock_trust.h"
#include "storage/daily_rollup.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/sqlite_database.h"
#include "storage/sqlite_table.h"
#include "storage/usage_sql.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace tw {
namespace {

// Rows deleted per slice: at first, and the bounds of the fitting. A slice costs a commit
// (a few tens of milliseconds on a busy disk) and then every deleted row an update by the
// roll-up's triggers, so the count is fitted to the time the rows take beyond the commit,
// well under the tenth of a second that a person would notice on the window's thread.
constexpr int FirstLimit = 200;
constexpr int LeastLimit = 50;
constexpr int MostLimit = 20000;
constexpr double SliceTargetMs = 25;

const char* const Label = "; TLogPurge: ";
const char* const RunLabel = "; TLogPurge.Run: ";

// A delete of the rows of the table that the condition selects, at most %LIMIT% of them.
std::string BoundedDelete(const std::string& condition) {
    return "DELETE FROM applications WHERE rowid IN (SELECT rowid FROM applications WHERE " +
           condition + " LIMIT %LIMIT%)";
}

// The programs no listed item covers, among the names the source yields as app_name: neither
// by the totals' matching nor by the scan's own (a path in any letter case).
std::string UnlistedNames(const std::string& source) {
    return "SELECT u.app_name FROM (" + source +
           ") u WHERE NOT EXISTS (SELECT 1 FROM (SELECT name FROM applications_list UNION ALL "
           "SELECT name FROM temp.kept) al WHERE al.name = u.app_name COLLATE NOCASE OR "
           "program_file_matches(al.name, u.app_name) OR " +
           ProgramCoversSQL("al", "u") + ")";
}

// The programs of a day to go, found once for the day: a read, without the write lock.
std::string UnlistedOfDay(const std::string& day) {
    // "+" keeps the planner off the name index, whose order it would take for DISTINCT and
    // then walk every program row of every day for one.
    return UnlistedNames(
        "SELECT DISTINCT +app_name AS app_name FROM applications WHERE origin = 1 AND " + day);
}

// The day's rows of those programs, found through the name index. Each slice asks the list
// again: a program listed meanwhile keeps its rows.
std::string UnlistedRows(const std::string& day) {
    return BoundedDelete("origin = 1 AND app_name IN (" +
                         UnlistedNames("SELECT name AS app_name FROM temp.unlisted") + ") AND " +
                         day);
}

// What the newest stored row has against the clock, for a folder that keeps no trusted time.
std::string RowsObjection(TErrorLog& log, const std::string& path, TDateTime now) {
    std::string newest;
    try {
        TSQLiteDatabase db(path);
        auto table = db.GetTable("SELECT MAX(date_created) FROM applications");
        newest = table->First() ? table->ValueAsText(0) : std::string();
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, Label));
        return "the activity could not be read";
    }
    if (newest.empty()) {
        return {}; // nothing stored that could be old
    }
    // The stored form sorts as the moments do.
    const std::string nowText = DateTimeToSQL(now);
    if (newest > nowText) {
        return "the clock (" + nowText + ") is behind the newest stored activity (" + newest + ")";
    }
    if (newest < DateTimeToSQL(now - 1)) {
        return "the clock (" + nowText + ") is more than a day ahead of the newest stored " +
               "activity (" + newest + ")";
    }
    return {};
}

} // namespace

TLogPurge::TLogPurge(TErrorLog& log, std::string path, TDateTime now, bool listTrusted,
                     bool clockRight, std::vector<std::string> keptNames, TSliceTurns* turns)
    : log_(log), path_(std::move(path)), turns_(turns), cutoff_(DateTimeToSQL(now - 90)),
      keptNames_(std::move(keptNames)), clockRight_(clockRight), limit_(FirstLimit) {
    if (clockRight_) {
        AddOldRows();
    }
    if (!listTrusted) {
        log_.Report("The clean-up keeps the history of programs no longer listed: the list could "
                    "not be read, its copy in \"" +
                    path_ + "\" could not be matched to it, or it was put back at this start.");
    } else {
        // Days from the cutoff to past now; then whatever lies outside them (dates before the
        // cutoff that the old rows' part left, dates ahead, no date at all).
        TDateTime day = now - 90;
        for (; day <= now + 1; day += 1) {
            slices_.push_back(UnlistedSlice("date_created >= ?1 AND date_created < ?2",
                                            {DateTimeToSQL(day), DateTimeToSQL(day + 1)}));
        }
        slices_.push_back(UnlistedSlice("date_created >= ?1", {DateTimeToSQL(day)}));
        slices_.push_back(UnlistedSlice("date_created < ?1", {cutoff_}));
        slices_.push_back(UnlistedSlice("date_created IS NULL", {}));
    }
    AddEmptyRollupRows();
}

bool TLogPurge::ClockRight(TErrorLog& log, const std::string& path, TSettingsFile& settings,
                           const TClock& clock) {
    const TDateTime now = clock.Now();
    std::string why;
    if (JudgeClock(
            clock, settings, [&] { return RowsObjection(log, path, now); }, why)) {
        return true;
    }
    log.Report("The clean-up leaves the old activity for a later start: " + why +
               ", so it cannot tell which rows are old.");
    return false;
}

bool TLogPurge::JudgeAgain(TSettingsFile& settings, const TClock& clock) {
    std::string why;
    // Rows this run wrote cannot speak for the clock that wrote them.
    if (!JudgeClock(
            clock, settings, [] { return std::string("no time is known right"); }, why) ||
        clockRight_) {
        return false;
    }
    clockRight_ = true;
    cutoff_ = DateTimeToSQL(clock.Now() - 90);
    slices_.erase(slices_.begin(), slices_.begin() + static_cast<std::ptrdiff_t>(next_));
    std::vector<TSlice> rest = std::move(slices_);
    slices_.clear();
    next_ = 0;
    // Before what is left: the old rows then cost the roll-up's triggers nothing.
    AddOldRows();
    if (rest.empty()) {
        AddEmptyRollupRows();
    }
    slices_.insert(slices_.end(), rest.begin(), rest.end());
    return true;
}

void TLogPurge::AddOldRows() {
    try {
        TSQLiteDatabase db(path_, turns_);
        for (std::string& sql : RollupOldDaysSQL(db)) {
            slices_.push_back({std::move(sql), {cutoff_}, {}, std::nullopt});
        }
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, Label));
    }
    // Through the date index, the oldest rows come first: a slice never walks past rows it
    // keeps.
    slices_.push_back({BoundedDelete("date_created < ?1"), {cutoff_}, {}, std::nullopt});
}

void TLogPurge::AddEmptyRollupRows() {
    try {
        TSQLiteDatabase db(path_, turns_);
        for (std::string& sql : RollupEmptyRowsSQL(db)) {
            slices_.push_back({std::move(sql), {}, {}, std::nullopt});
        }
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, Label));
    }
}

TLogPurge::TSlice TLogPurge::UnlistedSlice(const std::string& day, TSQLValues values) {
    return {UnlistedRows(day), std::move(values), UnlistedOfDay(day), std::nullopt};
}

bool TLogPurge::FindUnlisted(TSlice& slice) {
    try {
        TSQLiteDatabase db(path_, turns_);
        KeepNames(db);
        auto table = db.GetTable(slice.findNames, slice.values);
        std::vector<std::string> names;
        for (; !table->Eof(); table->Next()) {
            names.push_back(table->ValueAsText(0));
        }
        slice.names = std::move(names);
        return true;
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, RunLabel));
        return false;
    }
}

void TLogPurge::KeepNames(TSQLiteDatabase& db) const {
    db.ExecSQL("CREATE TEMP TABLE kept(name TEXT)");
    for (const std::string& name : keptNames_) {
        db.ExecSQL("INSERT INTO temp.kept VALUES(?1)", {name});
    }
}

bool TLogPurge::Step() {
    if (next_ >= slices_.size()) {
        return false;
    }
    TSlice& slice = slices_[next_];
    if (!slice.findNames.empty() && !slice.names) {
        // A step of its own, so that a slice's time is its delete's alone.
        if (!FindUnlisted(slice)) {
            next_ = slices_.size();
            return false;
        }
        if (slice.names->empty()) {
            ++next_; // nobody's rows go that day: no write at all
        }
        return next_ < slices_.size();
    }
    int changed = 0;
    const int limit = limit_;
    const auto start = std::chrono::steady_clock::now();
    if (!Run(slices_[next_], changed)) {
        next_ = slices_.size();
        return false;
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (changed > 0) {
        commitMs_ = std::min(commitMs_, ms); // the least a slice that writes takes
    }
    if (changed < limit) {
        ++next_; // this part is done; the next one's rows may cost more each
        limit_ = std::min(limit_, FirstLimit);
        return next_ < slices_.size();
    }
    // A full slice tells how many rows fit in the time. The count grows by half at most: a
    // row read from the disk costs several of one in the cache, and a slice fitted to cached
    // rows would overshoot several times on the next ones.
    const double rowsMs = ms - commitMs_;
    const double roomMs = std::max(SliceTargetMs - commitMs_, SliceTargetMs / 2);
    const double fitting = rowsMs > 0 ? limit * roomMs / rowsMs : 2.0 * limit;
    limit_ =
        static_cast<int>(std::clamp(fitting, static_cast<double>(std::max(LeastLimit, limit / 2)),
                                    static_cast<double>(std::min(MostLimit, limit * 3 / 2))));
    return true;
}

bool TLogPurge::Run(const TSlice& slice, int& changed) {
    std::string sql = slice.sql;
    const std::string placeholder = "%LIMIT%";
    sql.replace(sql.find(placeholder), placeholder.size(), std::to_string(limit_));
    try {
        TSQLiteDatabase db(path_, turns_);
        if (sql.find("temp.kept") != std::string::npos) {
            KeepNames(db);
        }
        if (slice.names) {
            db.ExecSQL("CREATE TEMP TABLE unlisted(name TEXT)");
            for (const std::string& name : *slice.names) {
                db.ExecSQL("INSERT INTO temp.unlisted VALUES(?1)", {name});
            }
        }
        db.ExecSQL(sql, slice.values);
        changed = db.Changes();
        return true;
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, RunLabel));
        return false;
    }
}

} // namespace tw
