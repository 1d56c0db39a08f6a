#include "storage/settings_database.h"

#include "storage/error_log.h"
#include "storage/seed_data_folder.h"
#include "storage/settings_save_scope.h"
#include "storage/sqlite_database.h"

#include <utility>

namespace tw {
namespace {

const char* const SettingsExecLabel = "; TOptions.SettingsDBExecSQL:";
const char* const SettingsQueryLabel = "; TOptions.SettingsDBGetTable:";

// The copies are made from the settings' rows inside the save's transaction: they cannot
// differ from what is committed beside them.
const char* const CopyStatements[] = {
    "DELETE FROM activity.applications_list",
    "INSERT INTO activity.applications_list(name, caption, active) SELECT name, caption, active "
    "FROM main.applications_list ORDER BY rowid",
    "DELETE FROM activity.websites_list",
    "INSERT INTO activity.websites_list(name, caption, active) SELECT name, caption, active "
    "FROM main.websites_list ORDER BY rowid",
    // The settings travel with the list, so that a settings.sqlite lost while the program is
    // stopped takes neither the limit nor the password with it. An activity database from
    // before this copy gets its table here.
    "CREATE TABLE IF NOT EXISTS activity.settings(name TEXT, value TEXT)",
    "DELETE FROM activity.settings",
    "INSERT INTO activity.settings(name, value) SELECT name, value FROM main.settings "
    "ORDER BY rowid",
};

// Runs one statement on a connection of its own; failures are reported, not thrown.
bool ExecOnce(TErrorLog& log, const std::string& file, const std::string& sql,
              const TSQLValues& values, const char* label) {
    try {
        TSQLiteDatabase db(file);
        db.ExecSQL(sql, values);
        return true;
    } catch (const std::exception& e) {
        log.Report(ErrorReportText(e, label));
        return false;
    }
}

void AttachActivity(TSQLiteDatabase& db, const std::string& activityFile) {
    db.ExecSQL("ATTACH DATABASE ?1 AS activity", {activityFile});
}

} // namespace

TSettingsDatabase::TSaveBatch::TSaveBatch(const std::string& settingsFile,
                                          const std::string& activityFile, TErrorLog& log,
                                          TSliceTurns* turns)
    : log_(log), withCopy_(!activityFile.empty()) {
    try {
        db_ = std::make_unique<TSQLiteDatabase>(settingsFile, turns);
        if (withCopy_) {
            AttachActivity(*db_, activityFile);
        }
        // IMMEDIATE takes the write locks now: a database locked by someone else fails
        // here, before anything is deleted.
        db_->ExecSQL("BEGIN IMMEDIATE");
    } catch (const std::exception& e) {
        Fail(e);
    }
}

bool TSettingsDatabase::TSaveBatch::Exec(const std::string& sql, const TSQLValues& values) {
    if (failed_) {
        return false; // the transaction is gone; later statements would not be kept either
    }
    try {
        db_->ExecSQL(sql, values);
        return true;
    } catch (const std::exception& e) {
        Fail(e);
        return false;
    }
}

bool TSettingsDatabase::TSaveBatch::Commit() {
    if (withCopy_) {
        for (const char* sql : CopyStatements) {
            Exec(sql, {});
        }
    }
    return Exec("COMMIT", {});
}

void TSettingsDatabase::TSaveBatch::Fail(const std::exception& e) {
    // With the copy, a failure is tried again over the settings alone, which reports it
    // if it is the settings' own.
    if (!withCopy_) {
        log_.Report(ErrorReportText(e, SettingsExecLabel));
    }
    failure_ = e.what();
    failed_ = true;
    db_.reset(); // closing the connection rolls back whatever the transaction held
}

TSettingsDatabase::TSaveScope::TSaveScope(TSettingsDatabase& owner, bool withCopy) : owner_(owner) {
    if (!owner_.batch_) {
        batch_ = std::make_unique<TSaveBatch>(owner_.Path(),
                                              withCopy ? owner_.ActivityPath() : std::string(),
                                              owner_.log_, owner_.turns_);
        owner_.batch_ = batch_.get();
    }
}

TSettingsDatabase::TSaveScope::~TSaveScope() {
    if (batch_) {
        owner_.batch_ = nullptr;
    }
}

bool TSettingsDatabase::TSaveScope::Finish() {
    if (!batch_) {
        return true; // the enclosing scope commits
    }
    owner_.batch_ = nullptr;
    return batch_->Commit();
}

const std::string& TSettingsDatabase::TSaveScope::FailureText() const {
    static const std::string none;
    return batch_ ? batch_->FailureText() : none;
}

bool TSettingsDatabase::Transacted(const std::function<bool()>& writes) {
    if (batch_) {
        return writes();
    }
    std::string copyFailure;
    for (const bool withCopy : {true, false}) {
        TSaveScope scope(*this, withCopy);
        const bool written = writes();
        if (scope.Finish() && written) {
            listCopyMatches_ = withCopy;
            if (withCopy) {
                copyFailureReported_ = false;
            } else if (!copyFailureReported_) {
                copyFailureReported_ = true;
                log_.Report("The list's copy in \"" + ActivityPath() +
                            "\" could not be written with the settings (" + copyFailure +
                            "); the settings are saved, and the copy is written again with the "
                            "next save that can.");
            }
            return true;
        }
        copyFailure = scope.FailureText();
    }
    return false;
}

bool TSettingsDatabase::Exec(const std::string& sql, const TSQLValues& values) {
    if (batch_) {
        return batch_->Exec(sql, values);
    }
    return ExecOnce(log_, Path(), sql, values, SettingsExecLabel);
}

std::unique_ptr<TSQLiteTable> TSettingsDatabase::Query(const std::string& sql) {
    try {
        TSQLiteDatabase db(Path());
        return db.GetTable(sql);
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, SettingsQueryLabel));
        readError_ = FailureReason(e);
        readFailed_ = true;
        return nullptr;
    }
}

bool TSettingsDatabase::ListCopyEqual() const {
    try {
        TSQLiteDatabase db(Path(), turns_);
        AttachActivity(db, ActivityPath());
        for (const char* table : {"applications_list", "websites_list"}) {
            const std::string columns = "SELECT name, caption, active FROM ";
            auto own = db.GetTable(columns + "main." + table + " ORDER BY rowid");
            auto copy = db.GetTable(columns + "activity." + table + " ORDER BY rowid");
            if (own->RowCount() != copy->RowCount()) {
                return false;
            }
            for (own->First(), copy->First(); !own->Eof(); own->Next(), copy->Next()) {
                for (int c = 0; c < 3; ++c) {
                    if (own->ValueAsText(c) != copy->ValueAsText(c)) {
                        return false;
                    }
                }
            }
        }
        return true;
    } catch (const std::exception& e) {
        log_.Report(ErrorReportText(e, "; TOptions.ListCopyEqual: "));
        return false;
    }
}

void TSettingsDatabase::Restore() {
    if (!DatabaseFileMissing(Path())) {
        return;
    }
    const std::string copyError = CopyTemplateDatabase(places_, "settings.sqlite");
    if (!copyError.empty()) {
        if (!restoreFailureReported_) {
            restoreFailureReported_ = true;
            log_.Report("The settings database \"" + Path() +
                        "\" is missing and no new one could be started: " + copyError);
        }
        return;
    }
    restoreFailureReported_ = false;
    restoreNotice_ =
        "Tallywick's settings database was missing or empty. A new one has been started:\n" +
        Path() +
        "\n\nThe settings, the list and the reminders in use have been saved "
        "into it.";
    log_.Report(restoreNotice_);
}

std::string TSettingsDatabase::TakeRestoreNotice() {
    return std::exchange(restoreNotice_, std::string());
}

} // namespace tw
