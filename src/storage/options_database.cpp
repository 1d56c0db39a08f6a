// The options object's database statements. Outside a save every statement opens its
// file, runs and closes. While a save runs, each database's statements share one
// connection and one transaction, so a crash, a full disk or a failed statement leaves
// the previous settings and list whole instead of deleted.
#include "storage/options.h"

#include "storage/clock.h"
#include "storage/error_log.h"
#include "storage/log_purge.h"
#include "storage/options_save_scope.h"
#include "storage/sqlite_database.h"

namespace tw {
namespace {

const char* const SettingsExecLabel = "; TOptions.SettingsDBExecSQL:";
const char* const SettingsQueryLabel = "; TOptions.SettingsDBGetTable:";
const char* const LogExecLabel = "; TOptions.LogDBExecSQL: ";

// Runs one statement on a connection of its own; failures are reported, not thrown.
bool ExecOnce(const std::string& file, const std::string& sql, const char* label) {
    try {
        TSQLiteDatabase db(file);
        db.ExecSQL(sql);
        return true;
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, label));
        return false;
    }
}

} // namespace

TOptions::TSaveBatch::TSaveBatch(const std::string& file, const char* label) : label_(label) {
    try {
        db_ = std::make_unique<TSQLiteDatabase>(file);
        // IMMEDIATE takes the write lock now: a database locked by someone else fails
        // here, before anything is deleted.
        db_->ExecSQL("BEGIN IMMEDIATE");
    } catch (const std::exception& e) {
        Fail(e);
    }
}

bool TOptions::TSaveBatch::Exec(const std::string& sql) {
    if (failed_) {
        return false; // the transaction is gone; later statements would not be kept either
    }
    try {
        db_->ExecSQL(sql);
        return true;
    } catch (const std::exception& e) {
        Fail(e);
        return false;
    }
}

bool TOptions::TSaveBatch::Commit() {
    if (failed_) {
        return false;
    }
    try {
        db_->ExecSQL("COMMIT");
        return true;
    } catch (const std::exception& e) {
        Fail(e);
        return false;
    }
}

void TOptions::TSaveBatch::Fail(const std::exception& e) {
    ErrorLog(ErrorReportText(e, label_));
    failed_ = true;
    db_.reset(); // closing the connection rolls back whatever the transaction held
}

TOptions::TSaveScope::TSaveScope(TOptions& owner) : owner_(owner) {
    if (!owner_.settingsBatch_) {
        settings_ = std::make_unique<TSaveBatch>(owner_.SettingsDBPath(), SettingsExecLabel);
        log_ = std::make_unique<TSaveBatch>(owner_.LogDBPath(), LogExecLabel);
        owner_.settingsBatch_ = settings_.get();
        owner_.logBatch_ = log_.get();
    }
}

TOptions::TSaveScope::~TSaveScope() {
    if (settings_) {
        owner_.settingsBatch_ = nullptr;
        owner_.logBatch_ = nullptr;
    }
}

bool TOptions::TSaveScope::Finish() {
    if (!settings_) {
        return true; // the enclosing scope commits
    }
    owner_.settingsBatch_ = nullptr;
    owner_.logBatch_ = nullptr;
    bool settingsKept = settings_->Commit();
    bool logKept = log_->Commit();
    settings_.reset();
    log_.reset();
    return settingsKept && logKept;
}

bool TOptions::SettingsDBExecSQL(const std::string& sql) {
    if (settingsBatch_) {
        return settingsBatch_->Exec(sql);
    }
    return ExecOnce(SettingsDBPath(), sql, SettingsExecLabel);
}

bool TOptions::LogDBExecSQL(const std::string& sql) {
    if (logBatch_) {
        return logBatch_->Exec(sql);
    }
    return ExecOnce(LogDBPath(), sql, LogExecLabel);
}

std::unique_ptr<TSQLiteTable> TOptions::SettingsDBGetTable(const std::string& sql) {
    try {
        TSQLiteDatabase db(SettingsDBPath());
        return db.GetTable(sql);
    } catch (const std::exception& e) {
        ErrorLog(ErrorReportText(e, SettingsQueryLabel));
        readError_ = FailureReason(e);
        return nullptr;
    }
}

void TOptions::LogDBPurge() {
    TLogPurge purge(LogDBPath(), ClockNow());
    while (purge.Step()) {
    }
}

} // namespace tw
