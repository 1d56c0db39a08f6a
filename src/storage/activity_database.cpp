#include "storage/activity_database.h"

#include "base/exception.h"
#include "base/slice_runner.h"
#include "base/text.h"
#include "platform/native_path.h"
#include "storage/activity_logger.h"
#include "storage/clock.h"
#include "storage/date_format.h"
#include "storage/error_log.h"
#include "storage/options.h"
#include "storage/seed_data_folder.h"
#include "storage/sqlite_database.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

namespace tw {
namespace {

namespace fs = std::filesystem;

// Rows kept while the file cannot be written. One row per change of activity is kept
// (a spell on one program is one row), so this is reached only by days of failure.
constexpr std::size_t MaxPendingRows = 10000;

void InsertRow(TSQLiteDatabase& db, const TActivityRow& row) {
    db.ExecSQL("INSERT INTO applications(date_created, app_name, browser_url, app_type, duration, "
               "origin) VALUES(?1, ?2, ?3, ?4, ?5, ?6)",
               {DateTimeToSQL(row.When), row.ExeName, row.Url, row.BrowserName,
                std::int64_t{row.Seconds}, std::int64_t{row.Origin}});
}

bool SameActivity(const TActivityRow& a, const TActivityRow& b) {
    return a.ExeName == b.ExeName && a.Url == b.Url && a.BrowserName == b.BrowserName &&
           a.Origin == b.Origin && AccountingDayStart(a.When) == AccountingDayStart(b.When);
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

} // namespace

bool TActivityDatabase::Write(const TActivityRow& row, const char* label) {
    if (!pending_.empty() && SameActivity(pending_.back(), row)) {
        pending_.back().Seconds += row.Seconds;
        pending_.back().When = row.When;
    } else {
        pending_.push_back(row);
    }
    if (pending_.size() > MaxPendingRows) {
        pending_.erase(pending_.begin());
        if (!droppedReported_) {
            droppedReported_ = true;
            log_.Report("The activity database " + Quoted(Path()) +
                        " has failed for so long that the oldest unsaved time is given up.");
        }
    }
    return WriteUnlessCleaningUp(label);
}

bool TActivityDatabase::WriteUnlessCleaningUp(const char* label) {
    // While the clean-up of old activity holds the file, the rows wait for the next scan
    // rather than the window for the clean-up. Not a failure.
    if (turns_ && turns_->Running()) {
        return false;
    }
    try {
        Flush(false);
        return true;
    } catch (const std::exception& e) {
        const auto* sqlite = dynamic_cast<const ESQLiteException*>(&e);
        if (sqlite && sqlite->Code() == SQLITE_BUSY && turns_ &&
            turns_->WaitForRunning(std::chrono::milliseconds(0))) {
            return false; // a slice began meanwhile
        }
        Failed(e, label);
        return false;
    }
}

void TActivityDatabase::Flush(bool mayWait) {
    attempted_ = true;
    TSQLiteDatabase db(Path(), turns_);
    if (!mayWait) {
        db.FailWhenBusy();
    }
    if (pending_.size() == 1) {
        InsertRow(db, pending_.front());
    } else {
        // All kept rows or none: closing the connection without COMMIT rolls back.
        db.ExecSQL("BEGIN IMMEDIATE");
        for (const TActivityRow& kept : pending_) {
            InsertRow(db, kept);
        }
        db.ExecSQL("COMMIT");
    }
    pending_.clear();
    droppedReported_ = false;
    Recovered();
}

void TActivityDatabase::WriteKept() {
    if (!pending_.empty()) {
        Retry();
    }
}

void TActivityDatabase::Failed(const std::exception& e, const char* label) {
    attempted_ = true;
    const auto* sqlite = dynamic_cast<const ESQLiteException*>(&e);
    const int code = sqlite ? sqlite->Code() : 0;
    if (failing_ && code == code_) {
        ++repeats_;
        return;
    }
    if (!failing_) {
        since_ = clock_.UtcNow();
        noticeGiven_ = false;
    }
    failing_ = true;
    code_ = code;
    reason_ = FailureReason(e);
    log_.Report(ErrorReportText(e, label));
}

void TActivityDatabase::ReadWorked() {
    attempted_ = true;
    if (pending_.empty()) {
        Recovered();
    }
}

void TActivityDatabase::Recovered() {
    if (!failing_) {
        return;
    }
    failing_ = false;
    log_.Report("The activity database " + Quoted(Path()) + " works again" +
                (repeats_ > 0 ? " (it failed " + std::to_string(repeats_ + 1) + " times in all)"
                              : std::string()) +
                "; counting goes on.");
    repeats_ = 0;
    code_ = 0;
}

TActivityDatabase::TFault TActivityDatabase::Classify() const {
    if (!failing_) {
        return TFault::None;
    }
    if (DatabaseFileMissing(Path())) {
        return TFault::Missing;
    }
    return code_ == SQLITE_CORRUPT || code_ == SQLITE_NOTADB ? TFault::Damaged : TFault::Unusable;
}

std::string TActivityDatabase::Check(TOptions& options) {
    const bool attempted = std::exchange(attempted_, false);
    std::string notice;
    switch (Classify()) {
    case TFault::None:
        if (!pending_.empty()) {
            WriteUnlessCleaningUp("; TActivityDatabase.Check: "); // rows held back for it
        }
        return {};
    case TFault::Damaged:
        notice = RepairDamaged(options);
        break;
    case TFault::Missing:
        notice = StartAnew(options);
        break;
    case TFault::Unusable:
        break;
    }
    // A repair is news of its own (it names the file kept aside); anything else is said
    // once a failure.
    const bool repaired = !notice.empty();
    bool told = false;
    auto tell = [&](const std::string& text) {
        if (!text.empty() && (repaired || !noticeGiven_)) {
            noticeGiven_ = told = true;
            log_.Report(text);
        }
    };
    tell(notice);
    // After a repair the kept rows go into the new file at once; otherwise they are tried
    // once a scan, unless this scan has tried already.
    if (repaired || !attempted) {
        Retry();
    }
    attempted_ = false;
    if (!repaired && failing_) {
        const bool briefLock =
            code_ == SQLITE_BUSY &&
            clock_.UtcNow() - since_ < options.Values().ScanPeriodSeconds * OneSecond;
        if (!briefLock) {
            notice = "Tallywick cannot save the time on your list: " + reason_ +
                     ".\n\nFile: " + Path() +
                     "\n\nIt goes on counting and tries again at every scan; the time is saved "
                     "as soon as the file can be written again.";
            tell(notice);
        }
    }
    return told ? notice : std::string();
}

void TActivityDatabase::Retry() {
    try {
        if (!pending_.empty()) {
            Flush();
        } else {
            TSQLiteDatabase db(Path(), turns_);
            db.GetTable("SELECT COUNT(*) FROM applications_list");
            ReadWorked();
        }
    } catch (const std::exception& e) {
        Failed(e, "; TActivityDatabase.Check: ");
    }
}

std::string TActivityDatabase::RepairDamaged(TOptions& options) {
    const std::string path = Path();
    std::error_code error;
    const std::string aside = MoveDatabaseAside(path, clock_.Now(), error);
    if (aside.empty()) {
        reason_ = SQLiteErrorCodeText(code_) + ", and it could not be moved aside (" +
                  error.message() + ")";
        return {};
    }
    const std::string copyError = CopyTemplateDatabase(places_, "actmondb.sqlite");
    if (!copyError.empty()) {
        reason_ = "it was damaged and has been kept as " + Quoted(aside) +
                  ", but no new one could be started: " + copyError;
        return {};
    }
    options.MonitoredItemsSave(); // the usage totals join the list's copy in this file
    repaired_ = true;
    return "Tallywick's activity database was damaged (" + reason_ + "). It has been kept as\n" +
           aside + "\nand a new one started in its place:\n" + path + "\n\nCounting goes on.";
}

std::string TActivityDatabase::StartAnew(TOptions& options) {
    const std::string copyError = CopyTemplateDatabase(places_, "actmondb.sqlite");
    if (!copyError.empty()) {
        reason_ = "the file is missing and no new one could be started: " + copyError;
        return {};
    }
    // A data folder deleted while running took the settings with it: what this run holds
    // is written back.
    const bool settingsGone = DatabaseFileMissing(places_.SettingsDatabasePath());
    if (settingsGone && CopyTemplateDatabase(places_, "settings.sqlite").empty()) {
        options.Save();
    } else {
        options.MonitoredItemsSave();
    }
    repaired_ = true; // the day's time went with the missing file
    return "Tallywick's activity database was missing" +
           std::string(settingsGone ? ", and so were its settings" : "") +
           ". A new one has been started:\n" + Path() +
           (settingsGone ? "\n\nThe settings in use have been saved again." : "") +
           "\n\nCounting goes on.";
}

std::string MoveDatabaseAside(const std::string& path, TDateTime when, std::error_code& error) {
    const std::string aside = DamagedDatabaseName(path, when);
    fs::rename(NativePath(path), NativePath(aside), error);
    if (error) {
        return {};
    }
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        std::error_code journalError;
        const fs::path journal = NativePath(path + suffix);
        if (fs::exists(journal, journalError)) {
            fs::rename(journal, NativePath(aside + suffix), journalError);
            if (journalError) {
                fs::remove(journal, journalError);
            }
        }
    }
    return aside;
}

std::string DamagedDatabaseName(const std::string& path, TDateTime when) {
    const TDateParts date = DecodeDate(when);
    const TTimeParts time = DecodeTime(when);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, ".damaged-%04d-%02d-%02d_%02d-%02d-%02d", date.year,
                  date.month, date.day, time.hour, time.minute, time.second);
    const fs::path file = NativePath(path);
    const std::string stem = Utf8Path(file.parent_path() / file.stem()) + stamp;
    const std::string extension = Utf8Path(file.extension());
    std::string name = stem + extension;
    std::error_code error;
    for (int n = 2; fs::exists(NativePath(name), error); ++n) {
        name = stem + "-" + std::to_string(n) + extension;
    }
    return name;
}

} // namespace tw
