#include "storage/sqlite_database.h"

#include "base/slice_runner.h"
#include "storage/sqlite_table.h"
#include "storage/url_match_function.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace tw {
namespace {

// How long one lock is waited for at most: past a slice that meets a disk stall, but short
// enough that a connection stuck behind another program gives up while the person waits.
constexpr std::chrono::milliseconds BusyWaitLimit(2000);
// How often a waiting connection looks again.
constexpr std::chrono::milliseconds BusyPoll(2);

} // namespace

std::string SQLiteErrorCodeText(int code) {
    static const char* const texts[] = {
        "Successful result",
        "SQL error or missing database",
        "An internal logic error in SQLite",
        "Access permission denied",
        "Callback routine requested an abort",
        "The database file is locked",
        "A table in the database is locked",
        "A malloc() failed",
        "Attempt to write a readonly database",
        "Operation terminated by sqlite3_interrupt()",
        "Some kind of disk I/O error occurred",
        "The database disk image is malformed",
        "(Internal Only) Table or record not found",
        "Insertion failed because database is full",
        "Unable to open the database file",
        "Database lock protocol error",
        "Database is empty",
        "The database schema changed",
        "Too much data for one row of a table",
        "Abort due to contraint violation",
        "Data type mismatch",
        "Library used incorrectly",
        "Uses OS features not supported on host",
        "Authorization denied",
        "Auxiliary database format error",
        "2nd parameter to sqlite3_bind out of range",
        "File opened that is not a database file",
    };
    if (code >= 0 && code < static_cast<int>(std::size(texts))) {
        return texts[code];
    }
    if (code == SQLITE_ROW) {
        return "sqlite3_step() has another row ready";
    }
    if (code == SQLITE_DONE) {
        return "sqlite3_step() has finished executing";
    }
    return "Unknown SQLite Error Code \"" + std::to_string(code) + "\"";
}

std::string FailureReason(const std::exception& e) {
    const auto* sqlite = dynamic_cast<const ESQLiteException*>(&e);
    return sqlite && sqlite->Code() != 0 ? SQLiteErrorCodeText(sqlite->Code()) : e.what();
}

// Another program's lock fails a statement at once, as it always has: the program keeps what
// it could not write and tries again at the next scan. The program's own slices on a thread
// of their own (the clean-up of old activity) are waited for instead, so that they never fail
// the program's statements; and those slices wait for the program's short transactions.
// A trampoline for SQLite: the connection comes back as the context pointer.
int TSQLiteDatabase::WaitWhenBusy(void* connection, int attempt) {
    using Clock = std::chrono::steady_clock;
    auto& self = *static_cast<TSQLiteDatabase*>(connection);
    if (attempt == 0) {
        self.busySince_ = Clock::now();
    }
    if (Clock::now() - self.busySince_ > BusyWaitLimit) {
        return 0;
    }
    if (self.turns_->OnSliceThread()) {
        std::this_thread::sleep_for(BusyPoll);
        return 1;
    }
    return self.turns_->WaitForRunning(BusyPoll) ? 1 : 0;
}

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName, TOpenMode mode)
    : TSQLiteDatabase(fileName, nullptr, mode) {}

TSQLiteDatabase::TSQLiteDatabase(const std::string& fileName, TSliceTurns* turns, TOpenMode mode)
    : turns_(turns) {
    const int flags =
        SQLITE_OPEN_READWRITE | (mode == TOpenMode::CreateIfMissing ? SQLITE_OPEN_CREATE : 0);
    int result = sqlite3_open_v2(fileName.c_str(), &db_, flags, nullptr);
    if (result != SQLITE_OK) {
        std::string detail = db_ ? sqlite3_errmsg(db_) : "unknown error";
        sqlite3_close(db_);
        db_ = nullptr;
        throw ESQLiteException("Failed to open database \"" + fileName + "\" : " + detail,
                               result & 0xff);
    }
    RegisterUrlMatchFunction(db_);
    if (turns_) {
        sqlite3_busy_handler(db_, WaitWhenBusy, this);
    }
}

TSQLiteDatabase::~TSQLiteDatabase() {
    sqlite3_close(db_);
}

void TSQLiteDatabase::RaiseError(const std::string& message, const std::string& sql) const {
    int code = sqlite3_errcode(db_);
    const char* text = code != SQLITE_OK ? sqlite3_errmsg(db_) : nullptr;
    if (text) {
        throw ESQLiteException(message + ".\rError [" + std::to_string(code) + "]: " +
                                   SQLiteErrorCodeText(code) + ".\r\"" + sql + "\": " + text,
                               code & 0xff);
    }
    throw ESQLiteException(message);
}

void TSQLiteDatabase::ExecSQL(const std::string& sql, const TSQLValues& values) {
    sqlite3_stmt* statement = PrepareStatement(*this, sql, false, values);
    int result = sqlite3_step(statement);
    if (result != SQLITE_DONE) {
        sqlite3_reset(statement);
        // The message reads the connection's error, so finalize only after building it.
        try {
            RaiseError("Error executing SQL statement", sql);
        } catch (...) {
            sqlite3_finalize(statement);
            throw;
        }
    }
    sqlite3_finalize(statement);
}

void TSQLiteDatabase::RollbackOpenTransaction() {
    if (sqlite3_get_autocommit(db_) == 0) {
        // Should it fail, closing the connection still undoes the transaction.
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void TSQLiteDatabase::FailWhenBusy() {
    sqlite3_busy_handler(db_, nullptr, nullptr);
}

int TSQLiteDatabase::Changes() const {
    return sqlite3_changes(db_);
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::GetTable(const std::string& sql,
                                                        const TSQLValues& values) {
    return std::make_unique<TSQLiteTable>(*this, sql, values);
}

namespace {

int BindValue(sqlite3_stmt* statement, int index, const TSQLValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        // With its length, so that a NUL inside is kept rather than ending the text.
        return sqlite3_bind_text64(statement, index, text->data(), text->size(), SQLITE_TRANSIENT,
                                   SQLITE_UTF8);
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return sqlite3_bind_int64(statement, index, *integer);
    }
    if (const auto* number = std::get_if<double>(&value)) {
        return sqlite3_bind_double(statement, index, *number);
    }
    return sqlite3_bind_null(statement, index);
}

} // namespace

sqlite3_stmt* PrepareStatement(const TSQLiteDatabase& db, const std::string& sql, bool forQuery,
                               const TSQLValues& values) {
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v2(db.Handle(), sql.c_str(), -1, &statement, nullptr);
    // A fresh connection reads the schema while preparing, so a locked file usually shows
    // here rather than at the first step.
    if ((result & 0xff) == SQLITE_BUSY) {
        if (forQuery) {
            RaiseBusy(sql);
        }
        db.RaiseError("Error executing SQL statement", sql);
    }
    if (result != SQLITE_OK) {
        db.RaiseError("Error executing SQL", sql);
    }
    if (!statement) {
        throw ESQLiteException("Could not prepare SQL statement");
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (BindValue(statement, static_cast<int>(i) + 1, values[i]) != SQLITE_OK) {
            try {
                db.RaiseError("Could not bind a value", sql);
            } catch (...) {
                sqlite3_finalize(statement);
                throw;
            }
        }
    }
    return statement;
}

void RaiseBusy(const std::string& sql) {
    throw ESQLiteException("Could not prepare SQL statement.\r\"" + sql + "\": SQLite is Busy",
                           SQLITE_BUSY);
}

} // namespace tw
